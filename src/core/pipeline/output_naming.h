#pragma once
// Where the output of one input goes, and under which name.
//
// The output of input P (base name B, extension X) goes into the output
// folder under the first free name of B.X, B-1.X, B-2.X, ... ("%s-%d" applied
// to B and k = 1, 2, 3, ...). An input without an extension gives outputs
// without one. The output folder text "." (exactly one full stop) means the
// folder of P; any other text is the folder itself.
//
// An output is written under a temporary name of its own in the output
// folder, "." + the chosen name + ".partial" (".side1.wav.partial"), created
// exclusively. Only once it is closed, whole or cut short by a cancel, does
// it take its final name, atomically and never in place of anything: a name
// taken meanwhile (by anything: a file, a folder, a dangling link, another
// program) is skipped for the next one. A process that is killed leaves at
// most a ".partial" file, never a half-written file under a final name.
//
// Which name is chosen depends only on what exists when the choice is made
// and on the names reserved before (ReserveOutputNames), so a batch that
// reserves in input order gets the same names however its jobs finish.

#include <filesystem>
#include <memory>
#include <span>
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
    int firstCandidate = 0;        // the first k tried (set by ReserveOutputNames)

    // k = 0 gives B.X, k >= 1 gives B-k.X.
    std::filesystem::path Candidate(int k) const;
};

OutputNaming NameOutputFor(const std::filesystem::path& input, const std::string& outputFolderText);

// Gives each naming, in order, as firstCandidate the first k whose name
// neither exists (when `countExisting`) nor was given to an earlier naming
// of the list. Without `countExisting` each naming gets the name that is
// its own in a fresh output folder, the one a re-run looks for.
void ReserveOutputNames(std::span<OutputNaming> namings, bool countExisting = true);

// The temporary name an output chosen as `finalName` is written under:
// attempt 0 gives ".side1.wav.partial", attempt n ".side1.wav.n.partial".
std::filesystem::path PartialName(const std::filesystem::path& finalName, int attempt);

// Chooses the first candidate from firstCandidate on that does not exist,
// and creates its partial file exclusively; closing the writer commits it
// under the chosen name (or the next free one, see above). On success
// `chosen` is the chosen final name and `status` is Created. Otherwise
// nullptr, with `status` Failed (the creation failed for another reason:
// missing or read-only folder, a format the library cannot write, ...) or
// Exists (every candidate up to the cap was taken); `chosen` is then the
// last name tried.
std::unique_ptr<SoundWriter> CreateFirstFreeOutput(const OutputNaming& naming,
                                                   const SoundFormat& format,
                                                   const std::string& comment,
                                                   std::filesystem::path& chosen,
                                                   CreateStatus& status);

}  // namespace sonorel
