#pragma once
// The sound libraries under the sound card's layer write their own
// diagnostics to standard error: ALSA a line for every device it probes
// and cannot open, JACK a line for every server it cannot reach. A preview
// would print a hundred such lines, with --quiet too, and hide the one line
// the program has to say. Their handlers are routed to nothing.

namespace sonorel {

// Installs no-op error (and JACK info) handlers in ALSA and JACK where they
// are loaded; does nothing for a library that is not. Before the sound
// card's layer is first initialised.
void QuietSoundLibraries();

}  // namespace sonorel
