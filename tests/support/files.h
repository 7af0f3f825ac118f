#pragma once
// Looking at files and folders as bytes and names.

#include <filesystem>
#include <string>
#include <vector>

namespace sonorel::test {

// The whole content of a file; empty when it cannot be read.
std::vector<unsigned char> ReadBytes(const std::filesystem::path& path);

// The names of the entries in a folder, sorted.
std::vector<std::string> FileNamesIn(const std::filesystem::path& folder);

// Flips the bits of the second half of a file: a compressed file still opens
// but fails to decode there.
void DamageSecondHalf(const std::filesystem::path& path);

}  // namespace sonorel::test
