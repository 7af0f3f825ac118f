#pragma once
// The program's own words for the result of a per-file run, shared by the
// desktop program's message boxes and sonorel-cli. A restoration and
// a preview describe the same result differently: a preview has no output
// file, so its "no output" is a playback problem and its "incomplete" a
// cancel.

#include <filesystem>
#include <string>
#include <string_view>

#include "pipeline/run_result.h"
#include "soundfile/sound_file.h"

namespace sonorel {

// Empty for RunOk and for values outside the five results.
std::string_view ResultMessage(RunResult result, RunKind kind);

// Why `input` is refused by a run, in a few words ("it is a folder", "it has
// 1 channel, not 2", "it has 5000 frames, fewer than 7060"), or empty when
// it would be accepted. Looks at the file again, so it is asked only after
// a run has refused it.
std::string InputCause(const std::filesystem::path& input, RawInput raw);

// Why a write into `folder` may have failed, or empty: "the disk is full"
// when the file system has no free block left for this user.
std::string OutputCause(const std::filesystem::path& folder);

// ResultMessage followed by ": " and the cause, where one is found: the
// input's for RunNotStereo and RunBadInput, the output folder's for a
// restoration's RunNoOutput and RunIncomplete (`output` is the file the run
// made, or the name it was to take).
std::string ExplainedResultMessage(RunResult result, RunKind kind,
                                   const std::filesystem::path& input, RawInput raw,
                                   const std::filesystem::path& output = {});

}  // namespace sonorel
