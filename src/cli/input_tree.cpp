#include "cli/input_tree.h"

#include <algorithm>
#include <system_error>

namespace sonorel {
namespace {

namespace fs = std::filesystem;

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// The regular files under `root` (links to files included), sorted by
// their relative paths as byte strings, so every machine sorts alike.
bool WalkTree(const std::string& root, std::vector<InputFile>& files, std::string& error) {
    std::vector<InputFile> found;
    std::error_code ec;
    fs::recursive_directory_iterator walk(root, fs::directory_options::none, ec);
    for (; !ec && walk != fs::recursive_directory_iterator(); walk.increment(ec)) {
        const fs::directory_entry& entry = *walk;
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".")) {
            if (entry.is_directory(ec) && !entry.is_symlink(ec)) walk.disable_recursion_pending();
            continue;
        }
        std::error_code typeError;
        if (!entry.is_regular_file(typeError)) continue;
        const fs::path relative = entry.path().lexically_relative(root);
        found.push_back({.path = entry.path().string(), .subfolder = relative.parent_path()});
    }
    if (ec) {
        error = "folder \"" + root + "\" cannot be read to the end: " + ec.message();
        return false;
    }
    std::sort(found.begin(), found.end(), [](const InputFile& a, const InputFile& b) {
        return (a.subfolder / fs::path(a.path).filename()).string() <
               (b.subfolder / fs::path(b.path).filename()).string();
    });
    files.insert(files.end(), found.begin(), found.end());
    return true;
}

}  // namespace

std::optional<InputList> ExpandInputs(const std::vector<std::string>& inputs, bool recursive,
                                      Share share, RawInput raw, std::string& error) {
    std::vector<InputFile> all;
    std::vector<bool> fromTree;
    for (const std::string& input : inputs) {
        if (!IsFolder(input)) {
            all.push_back({.path = input, .subfolder = {}});
            fromTree.push_back(false);
            continue;
        }
        if (!recursive) {
            error = input +
                    ": it is a folder: give -r (--recursive) to restore the files in it and in "
                    "its subfolders";
            return std::nullopt;
        }
        if (!WalkTree(input, all, error)) return std::nullopt;
        fromTree.resize(all.size(), true);
    }
    InputList list;
    for (std::size_t p = 0; p < all.size(); ++p) {
        if (static_cast<int>(p % static_cast<std::size_t>(share.count)) != share.index - 1) {
            continue;
        }
        if (fromTree[p]) {
            OpenProblem problem = OpenProblem::None;
            SoundReader::OpenExplained(all[p].path, raw, problem);
            if (problem == OpenProblem::NotSound) {
                list.notSound.push_back(all[p].path);
                continue;
            }
        }
        list.files.push_back(all[p]);
    }
    return list;
}

}  // namespace sonorel
