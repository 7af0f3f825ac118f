#pragma once
// Everything the restoration kernel keeps for one channel (one groove wall)
// through one file, and that channel's per-block scratch. The kernel holds
// one ChannelState per input channel; a channel's work (channel_work.h)
// writes its own and reads no other state but the front of the other
// channel's buffer.

#include <array>
#include <cstdint>

#include "engine/block_frame.h"
#include "filters/cascade.h"

namespace sonorel {

// Click repair (click_repair.h): rumble high-pass, detection band-pass,
// Teager history, energy sums, repair input, flags.
struct ClickState {
    CascadeState rumbleState;
    std::array<float, 2> detectState;  // w1, w2
    std::array<float, 2> teager;       // last two band-pass outputs, older first
    std::array<float, kClickHistory> energySum;
    std::array<float, kClickHistory> repairIn;
    std::array<std::int32_t, kFlagHistory> clickFlags;
};

// On a cache line of its own, so that two threads each writing one
// channel's state never share a line.
struct alignas(64) ChannelState {
    ClickState click;
    std::array<float, kAnalysisLength> history;  // last 2885 repaired samples, oldest first
    std::array<float, kEstimatorTaps> coef;      // estimator of this channel from the other
    // Per-block scratch, starting on a cache line: the stages' vectorised
    // loops read and write it, and the kernel was measured a few per cent
    // slower with it merely float-aligned. Buffer index j holds input frame
    // 883 n + j - 3810 of block n: the history, then this block's repaired
    // samples.
    alignas(64) std::array<float, kChannelBuffer> buffer;
    // Estimate i is of buffer index 648 + i: 883 samples for this block,
    // then 882 for the next block's overlap. Two, by block parity: a
    // pipelined kernel (kernel.h) mixes one block's pair while the next
    // block's are being made.
    alignas(64) std::array<std::array<float, kEstimateSpan>, 2> estimates;
};

}  // namespace sonorel
