#include "support/files.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace sonorel::test {

std::vector<unsigned char> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> FileNamesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void DamageSecondHalf(const std::filesystem::path& path) {
    auto bytes = ReadBytes(path);
    for (std::size_t i = bytes.size() / 2; i < bytes.size(); ++i)
        bytes[i] ^= 0x5a;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace sonorel::test
