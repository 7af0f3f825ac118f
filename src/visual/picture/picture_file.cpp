#include "picture/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "pipeline/output_naming.h"
#include "soundfile/unique_fd.h"

namespace sonorel {
namespace {

bool WriteAll(int fd, std::span<const unsigned char> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = ENOSPC;
        if (written <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// Removes the file behind `fd` unless something else has taken its name.
void RemoveOwnFile(int fd, const std::filesystem::path& path) {
    struct stat own {};
    struct stat named {};
    if (::fstat(fd, &own) == 0 && ::lstat(path.c_str(), &named) == 0 &&
        own.st_dev == named.st_dev && own.st_ino == named.st_ino) {
        ::unlink(path.c_str());
    }
}

}  // namespace

std::filesystem::path WriteNewPicture(const std::filesystem::path& folder, const std::string& name,
                                      std::span<const unsigned char> png, std::string& error) {
    const OutputNaming naming{.folder = folder, .base = name, .extension = ".png"};
    for (int k = 0; k < kMaxOutputCandidates; ++k) {
        std::filesystem::path path = naming.Candidate(k);
        const UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.Valid()) {
            if (errno == EEXIST) continue;
            error = "\"" + path.string() + "\" cannot be created: " + std::strerror(errno);
            return {};
        }
        if (!WriteAll(fd.Get(), png)) {
            error = "\"" + path.string() + "\" cannot be written: " + std::strerror(errno);
            RemoveOwnFile(fd.Get(), path);
            return {};
        }
        return path;
    }
    error = "every name from " + naming.Candidate(0).string() + " on is taken";
    return {};
}

}  // namespace sonorel
