#pragma once
// A JSON Lines file that several processes, on one machine or many sharing
// a file system, append to at once.
//
// Each line goes in with one write(2) on a descriptor opened with O_APPEND,
// under an exclusive fcntl lock held for that write only (fcntl locks also
// reach across NFS). A line that could not be written whole (disk full) is
// cut off again under the same lock, so the file only ever holds whole
// lines; a file whose last line lacks its newline gets one first. Where the
// file system offers no locks, O_APPEND alone still keeps each line whole.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "soundfile/unique_fd.h"

namespace sonorel {

class ReportFile {
  public:
    // Opens or creates the file for appending; nullptr, with `error` saying
    // why, when it cannot be written or is not a regular file.
    static std::unique_ptr<ReportFile> Open(const std::filesystem::path& path, std::string& error);

    // Appends `line`, which ends in '\n'. False, with `error` saying why, when
    // nothing of it stays in the file.
    bool Append(std::string_view line, std::string& error);

  private:
    explicit ReportFile(int fd) : fd_(fd) {}
    UniqueFd fd_;
};

}  // namespace sonorel
