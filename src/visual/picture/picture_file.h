#pragma once
// Writes a picture into a folder under the first free name of NAME.png,
// NAME-1.png, NAME-2.png, ... (the output naming rule), created exclusively:
// nothing that exists is overwritten, and a file that could not be written
// whole is removed again rather than left looking complete.

#include <filesystem>
#include <span>
#include <string>

namespace sonorel {

// The path written, or an empty path with `error` saying why.
std::filesystem::path WriteNewPicture(const std::filesystem::path& folder, const std::string& name,
                                      std::span<const unsigned char> png, std::string& error);

}  // namespace sonorel
