#pragma once
// Everything the restoration kernel carries from block to block through one
// file, with the channels' per-block scratch. RestorationKernel::Reset
// zeroes it as a whole at the start of every file.

#include <array>

#include "engine/block_frame.h"
#include "engine/channel_state.h"
#include "filters/cascade.h"

namespace sonorel {

// The output path, after the mix (output_stage.h).
struct OutputState {
    std::array<float, kOverlap> tail;  // the next block's overlap, mixed, before the filters
    CascadeState hissState;
    float bassState;  // the shelves' previous intermediate values
    float trebleState;
};

enum Channel { kLeft = 0, kRight = 1 };

struct KernelState {
    std::array<ChannelState, 2> channels;  // input channel 0 (left), 1 (right)
    OutputState output;
};

}  // namespace sonorel
