#pragma once
// A fresh, private folder under the system's temporary folder, removed with
// everything in it when the object goes.

#include <filesystem>
#include <string>
#include <string_view>

namespace sonorel::test {

class TempFolder {
  public:
    // Named after the running test, so that a folder left by a crash says
    // whose it was.
    TempFolder();
    // Named after `label`, for folders made outside a test.
    explicit TempFolder(std::string_view label);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with symbolic links resolved, so that it compares equal to
    // the paths the program under test derives from it.
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

}  // namespace sonorel::test
