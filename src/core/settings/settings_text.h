#pragma once
// The settings of a run in one line, for the records a run leaves behind
// (the coding history of a Broadcast WAV chunk, a picture's title):
// "click 5, noise 5, distortion 5, gain 0, rumble 40, hiss 18, bass 0,
// treble 0, function mono, anti-phase off, keep-level off", with
// sonorel-cli's option names. The preview time is left out: it does not
// change an output.

#include <string>

#include "settings/restoration_settings.h"

namespace sonorel {

std::string DescribeSettings(const RestorationSettings& settings);

}  // namespace sonorel
