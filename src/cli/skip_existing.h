#pragma once
// --skip-existing: an input whose first-choice output is already there as a
// finished restoration (a readable mono sound file of exactly the length a
// run of this input writes) is not run again.

#include <filesystem>

#include "soundfile/sound_file.h"

namespace sonorel {

// Whether `output` is a finished restoration of `input`: `aligned` as with
// --align, `raw` as the run would read the input.
bool IsFinishedOutput(const std::filesystem::path& input, const std::filesystem::path& output,
                      bool aligned, RawInput raw);

}  // namespace sonorel
