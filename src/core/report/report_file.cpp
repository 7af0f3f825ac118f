#include "report/report_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace sonorel {
namespace {

std::string Quoted(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";
}

// An exclusive lock on the whole file for as long as the object lives; none
// where the file system has no locks.
class WholeFileLock {
  public:
    explicit WholeFileLock(int fd) : fd_(fd) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        int status = 0;
        while ((status = ::fcntl(fd_, F_SETLKW, &lock)) != 0 && errno == EINTR) {
        }
        held_ = status == 0;
    }
    ~WholeFileLock() {
        if (!held_) return;
        struct flock lock {};
        lock.l_type = F_UNLCK;
        lock.l_whence = SEEK_SET;
        ::fcntl(fd_, F_SETLK, &lock);
    }
    WholeFileLock(const WholeFileLock&) = delete;
    WholeFileLock& operator=(const WholeFileLock&) = delete;

    bool Held() const { return held_; }

  private:
    int fd_;
    bool held_ = false;
};

}  // namespace

std::unique_ptr<ReportFile> ReportFile::Open(const std::filesystem::path& path,
                                             std::string& error) {
    // Read access lets Append look at the last byte; a file we may only
    // write to still takes lines. O_NONBLOCK: a FIFO must not hang the open.
    constexpr int kFlags = O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK;
    int fd = ::open(path.c_str(), O_RDWR | kFlags, 0666);
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | kFlags, 0666);
    if (fd < 0) {
        error = "report file " + Quoted(path) +
                (errno == ENXIO ? " is not a regular file"
                                : " cannot be written: " + std::string(std::strerror(errno)));
        return nullptr;
    }
    std::unique_ptr<ReportFile> file(new ReportFile(fd));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "report file " + Quoted(path) + " is not a regular file";
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, O_APPEND);  // blocking writes from here on
    return file;
}

bool ReportFile::Append(std::string_view line, std::string& error) {
    const int fd = fd_.Get();
    const WholeFileLock lock(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    std::string text;
    char last = '\n';
    if (st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n') text = "\n";
    text += line;

    ssize_t written = 0;
    while ((written = ::write(fd, text.data(), text.size())) < 0 && errno == EINTR) {
    }
    if (written == static_cast<ssize_t>(text.size())) return true;
    error = written < 0 ? std::string(std::strerror(errno))
                        : "only part of the line could be written (is the disk full?)";
    // Only under the lock is the end of the file ours to cut back.
    if (written > 0 && lock.Held() && ::ftruncate(fd, st.st_size) != 0) {
        error += "; the incomplete line could not be removed";
    }
    return false;
}

}  // namespace sonorel
