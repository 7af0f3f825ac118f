#pragma once
// The program's own words for the result of a per-file run, shared by the
// desktop program's message boxes and sonorel-cli. A restoration and
// a preview describe the same result differently: a preview has no output
// file, so its "no output" is a playback problem and its "incomplete" a
// cancel.

#include <string_view>

#include "pipeline/run_result.h"

namespace sonorel {

// Empty for RunOk and for values outside the five results.
std::string_view ResultMessage(RunResult result, RunKind kind);

}  // namespace sonorel
