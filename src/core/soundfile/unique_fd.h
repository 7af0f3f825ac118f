#pragma once
// A file descriptor closed when its owner goes.

#include <fcntl.h>
#include <unistd.h>

namespace sonorel {

class UniqueFd {
  public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }

  private:
    int fd_;
};

// The library closes the descriptor it is given when an open fails, even
// when asked not to, so it only ever gets a duplicate of ours: it owns and
// closes the duplicate, we keep the original for a retry or for clean-up.
inline int DuplicateForLibrary(const UniqueFd& fd) {
    return ::fcntl(fd.Get(), F_DUPFD_CLOEXEC, 0);
}

}  // namespace sonorel
