#pragma once
// Giving a finished file its final name atomically and never in place of
// anything: the name either appears at once with the whole file behind it,
// or is found taken and left alone.

#include <filesystem>

namespace sonorel {

enum class RenameStatus { Renamed, Exists, Failed };

// Moves `from` to `to` in the same folder. A hard link and the removal of
// the old name where the file system has them, else a rename that refuses
// to replace (RENAME_NOREPLACE). Exists when `to` is taken by anything.
RenameStatus RenameWithoutReplacing(const std::filesystem::path& from,
                                    const std::filesystem::path& to);

}  // namespace sonorel
