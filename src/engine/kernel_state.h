#pragma once
// Sizes of the restoration kernel and the state it carries from block to
// block through one file.

#include <array>
#include <cstdint>

#include "filters/cascade.h"

namespace sonorel {

inline constexpr int kBlockLength = 883;      // frames in, samples out per block
inline constexpr int kOverlap = 882;          // samples crossfaded with the previous block
inline constexpr int kAnalysisLength = 2885;  // estimator segment and channel history length
inline constexpr int kEstimatorTaps = 177;
inline constexpr int kEstimateSpan = 2 * kBlockLength - 1;             // 1765
inline constexpr int kChannelBuffer = kAnalysisLength + kBlockLength;  // 3768
inline constexpr int kClickHistory = 1233;  // energy-sum and repair-input history
inline constexpr int kFlagHistory = 616;    // click-flag history
inline constexpr int kWindowHalf = 1442;    // stored half of the analysis window

// Whole-kernel delay: output sample i of block n estimates input frame
// 883 n + i - 3162, so the first three blocks of every file are silent.
inline constexpr int kKernelDelay = 3162;

// One contiguous record, zeroed as a whole by InitKernelTables at the start of
// every file. Field order is part of the design; do not reorder.
struct KernelState {
    CascadeState rumbleStateL;
    CascadeState rumbleStateR;
    CascadeState hissState;
    std::array<float, 2> detectStateL;  // w1, w2
    std::array<float, 2> detectStateR;
    std::array<float, 2> teagerL;  // last two band-pass outputs, older first
    std::array<float, 2> teagerR;
    std::array<float, kAnalysisLength> historyL;  // oldest first
    std::array<float, kAnalysisLength> historyR;
    std::array<float, kClickHistory> energySumL;
    std::array<float, kClickHistory> energySumR;
    std::array<float, kClickHistory> repairInL;
    std::array<float, kClickHistory> repairInR;
    std::array<std::int32_t, kFlagHistory> clickFlagsL;
    std::array<std::int32_t, kFlagHistory> clickFlagsR;
    std::array<float, kEstimatorTaps> coefL;
    std::array<float, kEstimatorTaps> coefR;
    std::array<float, kOverlap> tail;
};

}  // namespace sonorel
