#pragma once
// Short input files for the CLI tests, from the example's synthesiser.

#include <filesystem>

namespace sonorel::clitest {

// A stereo transfer of `seconds` at 44100 Hz, 16-bit WAV.
void WriteStereoTransfer(const std::filesystem::path& path, double seconds, unsigned seed = 7);
// One channel of the same.
void WriteMonoTransfer(const std::filesystem::path& path, double seconds);

}  // namespace sonorel::clitest
