#pragma once
// The sound card, for preview playback: PortAudio's default output device as
// a PlaybackOutput. The only code that talks to PortAudio.

#include <memory>

#include "pipeline/playback_output.h"

namespace sonorel {

// PortAudio's global set-up and tear-down are serialised inside, so several
// lines may be opened from several threads.
std::unique_ptr<PlaybackOutput> MakePortAudioOutput();

}  // namespace sonorel
