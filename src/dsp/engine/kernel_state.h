#pragma once
// Everything the restoration kernel carries from block to block through one
// file. RestorationKernel::Reset zeroes it as a whole at the start of every
// file.

#include <array>
#include <cstdint>

#include "engine/block_frame.h"
#include "filters/cascade.h"

namespace sonorel {

struct KernelState {
    // Per channel: click repair (rumble high-pass, detection band-pass,
    // Teager history, energy sums, repair input, flags), the history of
    // repaired samples and the estimator's coefficients.
    CascadeState rumbleStateL;
    CascadeState rumbleStateR;
    std::array<float, 2> detectStateL;  // w1, w2
    std::array<float, 2> detectStateR;
    std::array<float, 2> teagerL;  // last two band-pass outputs, older first
    std::array<float, 2> teagerR;
    std::array<float, kAnalysisLength> historyL;  // last 2885 repaired samples, oldest first
    std::array<float, kAnalysisLength> historyR;
    std::array<float, kClickHistory> energySumL;
    std::array<float, kClickHistory> energySumR;
    std::array<float, kClickHistory> repairInL;
    std::array<float, kClickHistory> repairInR;
    std::array<std::int32_t, kFlagHistory> clickFlagsL;
    std::array<std::int32_t, kFlagHistory> clickFlagsR;
    std::array<float, kEstimatorTaps> coefL;  // estimator of the left channel from the right
    std::array<float, kEstimatorTaps> coefR;  // estimator of the right channel from the left

    // The output path, after the mix.
    std::array<float, kOverlap> tail;  // the next block's overlap, mixed, before the filters
    CascadeState hissState;
    float bassState;  // the shelves' previous intermediate values
    float trebleState;
};

}  // namespace sonorel
