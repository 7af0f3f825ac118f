#pragma once
// The inputs of a command line as the list of files to run: files named
// directly, and with --recursive the files under each folder named, in
// sorted order, each with the folder it goes into under the output folder
// (its own folder relative to the folder named), so that the outputs mirror
// the tree and same-named sides of different discs never meet.
//
// Under --recursive, files that are not sound files the program reads (label
// scans, notes, checksum files) are not inputs: they are listed apart, once
// each. Names starting with "." (hidden files, and the ".partial" files of
// runs in progress) are not looked at. Links to folders are not followed,
// so a tree with a loop still ends.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "soundfile/sound_file.h"

namespace sonorel {

struct InputFile {
    std::string path;                 // as the user named it, or below the folder named
    std::filesystem::path subfolder;  // relative; empty for a file named directly
};

struct InputList {
    std::vector<InputFile> files;
    std::vector<std::string> notSound;  // skipped under --recursive
};

// One share of a list for one of several processes (--share K/N): the
// positions p of the list with p mod N = K - 1. {1, 1} is the whole list.
struct Share {
    int index = 1;
    int count = 1;
};

// nullopt, with `error` saying why, when a folder is named without
// `recursive` or a folder cannot be walked. The share is taken from the
// sorted list before the files are looked into, so that every process of a
// shared run names each non-sound file at most once among them.
std::optional<InputList> ExpandInputs(const std::vector<std::string>& inputs, bool recursive,
                                      Share share, RawInput raw, std::string& error);

}  // namespace sonorel
