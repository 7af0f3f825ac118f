#pragma once
// Temporary folders and short generated input files for the CLI tests.

#include <filesystem>
#include <string>
#include <vector>

namespace sonorel::clitest {

// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// A stereo transfer of `seconds` at 44100 Hz, 16-bit WAV (the example's synthesiser).
void WriteStereoTransfer(const std::filesystem::path& path, double seconds, unsigned seed = 7);
// One channel of the same.
void WriteMonoTransfer(const std::filesystem::path& path, double seconds);

// The names in a folder, sorted.
std::vector<std::string> NamesIn(const std::filesystem::path& folder);

}  // namespace sonorel::clitest
