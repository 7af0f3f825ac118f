#pragma once
// What the kernel did in one block, for records and pictures. Counted as a
// by-product of the block (a scan of the new flags and of the repair mask,
// one copy of the flags), into storage of fixed size: nothing is allocated.

#include <array>
#include <cstdint>

#include "engine/block_frame.h"

namespace sonorel {

// New flag d of block n belongs to input frame 883 n + d - kNewFlagLag: the
// tested positions 616..1498 lie 1233 - 616 = 617 frames behind the newest
// input of the click stage.
inline constexpr int kNewFlagLag = kClickHistory - kFlagHistory;
static_assert(kNewFlagLag == 617);

struct ClickBlockCounts {
    std::array<std::int32_t, kBlockLength> newFlags{};  // 1 where a click was detected
    int clicksDetected = 0;   // click groups whose first flag is in this block
    int samplesRepaired = 0;  // outputs replaced by a blend of clean neighbours
};

struct KernelBlockCounts {
    std::array<ClickBlockCounts, 2> clicks;  // left, right channel
    // The estimator of the left (right) channel failed to solve and kept its
    // previous coefficients.
    std::array<bool, 2> solveFailed{};
};

}  // namespace sonorel
