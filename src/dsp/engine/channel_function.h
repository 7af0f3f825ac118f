#pragma once

namespace sonorel {

// How the kernel combines the two channels: the index of the main window's
// "Function" radio box, stored as such in the settings file.
enum class ChannelFunction : int {
    MonoEnhancer = 0,  // keep what the channels have in common
    VocalRemover = 1,  // keep what they do not
};

}  // namespace sonorel
