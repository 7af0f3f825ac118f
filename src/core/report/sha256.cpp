#include "report/sha256.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "soundfile/unique_fd.h"

namespace sonorel {
namespace {

// The first 32 bits of the fractional parts of the cube roots of the first
// 64 primes (FIPS 180-4, 4.2.2).
constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// The first 32 bits of the fractional parts of the square roots of the
// first 8 primes (5.3.3).
constexpr std::array<std::uint32_t, 8> kInitial = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

constexpr std::uint32_t Rotr(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

// Bytes read from a file at a time.
constexpr std::size_t kReadBytes = 1 << 16;

}  // namespace

Sha256::Sha256() : state_(kInitial) {}

void Sha256::Compress(const std::uint8_t* block) {
    std::array<std::uint32_t, 64> w{};
    for (int i = 0; i < 16; ++i) {
        w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
               std::uint32_t{block[4 * i + 2]} << 8 | std::uint32_t{block[4 * i + 3]};
    }
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::array<std::uint32_t, 8> v = state_;
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t s1 = Rotr(v[4], 6) ^ Rotr(v[4], 11) ^ Rotr(v[4], 25);
        const std::uint32_t choose = (v[4] & v[5]) ^ (~v[4] & v[6]);
        const std::uint32_t t1 = v[7] + s1 + choose + kRound[i] + w[i];
        const std::uint32_t s0 = Rotr(v[0], 2) ^ Rotr(v[0], 13) ^ Rotr(v[0], 22);
        const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
        const std::uint32_t t2 = s0 + majority;
        v = {t1 + t2, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
    }
    for (int i = 0; i < 8; ++i)
        state_[i] += v[i];
}

void Sha256::Add(std::span<const std::byte> bytes) {
    totalBytes_ += bytes.size();
    for (const std::byte b : bytes) {
        pending_[pendingBytes_++] = static_cast<std::uint8_t>(b);
        if (pendingBytes_ == pending_.size()) {
            Compress(pending_.data());
            pendingBytes_ = 0;
        }
    }
}

std::string Sha256::HexDigest() {
    const std::uint64_t bits = totalBytes_ * 8;
    // Padding: a one bit, zeros to 56 bytes mod 64, the length in bits.
    std::array<std::byte, 72> tail{};
    std::size_t tailBytes = 0;
    tail[tailBytes++] = std::byte{0x80};
    while ((pendingBytes_ + tailBytes) % 64 != 56)
        tail[tailBytes++] = std::byte{0};
    for (int i = 7; i >= 0; --i)
        tail[tailBytes++] = static_cast<std::byte>(bits >> (8 * i));
    const std::uint64_t total = totalBytes_;
    Add(std::span(tail.data(), tailBytes));
    totalBytes_ = total;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint32_t word : state_) {
        for (int shift = 28; shift >= 0; shift -= 4)
            hex += kHex[(word >> shift) & 0xf];
    }
    return hex;
}

std::optional<std::string> FileSha256(const std::filesystem::path& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valid()) return std::nullopt;
    Sha256 hash;
    std::vector<std::byte> buffer(kReadBytes);
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        hash.Add(std::span(buffer.data(), static_cast<std::size_t>(got)));
    }
    return hash.HexDigest();
}

}  // namespace sonorel
