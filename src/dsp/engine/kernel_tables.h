#pragma once
// The two tables that every file shares: the first half of the estimator's
// analysis window and the crossfade ramp. Built once per process, on first
// use, thread-safely; identical for every file and read-only afterwards.

#include <array>

#include "engine/block_frame.h"

namespace sonorel {

struct KernelTables {
    // Four-term Blackman-Nuttall window: AnalysisWindow[i] is its value at
    // i = 0 .. 1441; the window is symmetric about index 1442 (value 1).
    std::array<float, kWindowHalf> AnalysisWindow;
    // R[i] = (1 + cos((i + 1) pi / 883)) / 2, falling from just below 1 to
    // just above 0, with R[i] + R[881 - i] = 1.
    std::array<float, kOverlap> CrossfadeRamp;
};

const KernelTables& GetKernelTables();

}  // namespace sonorel
