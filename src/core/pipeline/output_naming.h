#pragma once
// Where the output of one input goes, and under which name.
//
// The output of input P (base name B, extension X) goes into the output
// folder under the first free name of B.X, B-1.X, B-2.X, ... ("%s-%d" applied
// to B and k = 1, 2, 3, ...). An input without an extension gives outputs
// without one. The output folder text "." (exactly one full stop) means the
// folder of P; any other text is the folder itself.
//
// A name is free when an exclusive creation of it succeeds, so a file that
// another program (or another job of this one) creates between two attempts
// is never overwritten: the attempt fails and the next name is tried. An
// existing folder with a candidate's name is skipped the same way.

#include <filesystem>
#include <memory>
#include <string>

#include "soundfile/sound_file.h"

namespace sonorel {

// How many names CreateFirstFreeOutput tries (k = 0 .. kMaxOutputCandidates - 1)
// before it gives up with CreateStatus::Exists.
inline constexpr int kMaxOutputCandidates = 100000;

struct OutputNaming {
    std::filesystem::path folder;  // where the output goes (may be empty: the current folder)
    std::string base;              // the input's file name without folder and extension
    std::string extension;         // the input's extension with its dot (".wav"), or empty

    // k = 0 gives B.X, k >= 1 gives B-k.X.
    std::filesystem::path Candidate(int k) const;
};

OutputNaming NameOutputFor(const std::filesystem::path& input, const std::string& outputFolderText);

// Creates the first free candidate exclusively, trying k = 0, 1, 2, ... and
// moving on only while the name is taken. On success `chosen` is the created
// file and `status` is Created. Otherwise nullptr, with `status` Failed (the
// creation failed for another reason: missing or read-only folder, a format
// the library cannot write, ...) or Exists (every candidate up to the cap was
// taken); `chosen` is then the last name tried.
std::unique_ptr<SoundWriter> CreateFirstFreeOutput(const OutputNaming& naming,
                                                   const SoundFormat& format,
                                                   const std::string& comment,
                                                   std::filesystem::path& chosen,
                                                   CreateStatus& status);

}  // namespace sonorel
