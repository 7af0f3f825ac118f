#include "soundfile/no_replace_rename.h"

#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <unistd.h>

#include <cerrno>

namespace sonorel {

RenameStatus RenameWithoutReplacing(const std::filesystem::path& from,
                                    const std::filesystem::path& to) {
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());  // the file stays whole under `to` even if this fails
        return RenameStatus::Renamed;
    }
    if (errno == EEXIST) return RenameStatus::Exists;
    // File systems without hard links (some network and FAT mounts).
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return RenameStatus::Renamed;
    }
    return errno == EEXIST ? RenameStatus::Exists : RenameStatus::Failed;
}

}  // namespace sonorel
