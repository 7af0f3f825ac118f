#pragma once
// SHA-256 (FIPS 180-4) of a file's bytes, for the fixity fields of the
// report: an archive checks years later that a file is still the one the
// report describes, with sha256sum or any other tool.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace sonorel {

class Sha256 {
  public:
    Sha256();
    void Add(std::span<const std::byte> bytes);
    // The digest as 64 lower-case hex digits; the object is then spent.
    std::string HexDigest();

  private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingBytes_ = 0;
    std::uint64_t totalBytes_ = 0;
};

// The digest of the file's bytes as they are now; nullopt when it cannot be
// read to the end.
std::optional<std::string> FileSha256(const std::filesystem::path& path);

}  // namespace sonorel
