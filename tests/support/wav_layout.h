#pragma once
// Reads the sizes a RIFF/WAVE header states, to check that the header of an
// output matches what the file holds.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace sonorel::test {

struct WavLayout {
    std::uint32_t riffBytes = 0;   // the RIFF chunk size: file size - 8
    std::uint64_t dataOffset = 0;  // where the samples start
    std::uint32_t dataBytes = 0;   // the data chunk size
};

inline std::uint32_t ReadLe32(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(b[at + 3]) << 24;
}

inline std::optional<WavLayout> ParseWav(const std::vector<unsigned char>& bytes) {
    auto tagAt = [&](std::size_t at, std::string_view tag) {
        return at + 4 <= bytes.size() &&
               std::string_view(reinterpret_cast<const char*>(&bytes[at]), 4) == tag;
    };
    if (!tagAt(0, "RIFF") || !tagAt(8, "WAVE")) return std::nullopt;
    WavLayout layout;
    layout.riffBytes = ReadLe32(bytes, 4);
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = ReadLe32(bytes, at + 4);
        if (tagAt(at, "data")) {
            layout.dataOffset = at + 8;
            layout.dataBytes = size;
            return layout;
        }
        at += 8 + size + (size & 1u);
    }
    return std::nullopt;
}

}  // namespace sonorel::test
