#pragma once
// The restoration kernel's block frame: its fixed sizes, the timing that
// follows from them, and the output bound.
//
// Timing, for block n (input frames 883 n .. 883 n + 882):
//   - click repair delays each channel by kClickDelay = 925 samples, so
//     index j of a channel buffer (the 2885-sample history, then the block's
//     883 repaired samples) holds input frame 883 n + j - 3810;
//   - each estimator analyses its target from index kTargetOffset = 88 and
//     estimates it kEstimateLead = 560 samples into that segment, so output
//     sample i is the estimate of buffer index 648 + i;
//   - hence output sample i of block n is input frame 883 n + i - 3162: the
//     kernel delays by kKernelDelay samples and does not compensate, so the
//     first three blocks of every file are exactly 0.

namespace sonorel {

inline constexpr int kBlockLength = 883;           // frames in, samples out per block
inline constexpr int kOverlap = kBlockLength - 1;  // samples crossfaded with the previous block
inline constexpr int kAnalysisLength = 2885;       // estimator segment and channel history length
inline constexpr int kWindowHalf = (kAnalysisLength - 1) / 2;  // 1442: stored half of the window
inline constexpr int kEstimatorTaps = 177;
inline constexpr int kEstimateSpan = 2 * kBlockLength - 1;             // 1765
inline constexpr int kChannelBuffer = kAnalysisLength + kBlockLength;  // 3768

// Click repair: the energy-sum and repair-input history, the flag history,
// and the reach of a repair (output m of a call is position 308 + m).
inline constexpr int kClickHistory = 1233;
inline constexpr int kFlagHistory = 616;
inline constexpr int kRepairReach = 308;
inline constexpr int kClickDelay = kClickHistory - kRepairReach;  // 925

// Estimation: both estimators analyse their target from this buffer index,
// so the left and right contributions to an output sample belong to the
// same input frame; Y[i] estimates segment index kEstimateLead + i.
inline constexpr int kTargetOffset = 88;
inline constexpr int kEstimateLead = 560;

inline constexpr int kKernelDelay = kAnalysisLength + kClickDelay - kEstimateLead - kTargetOffset;
static_assert(kKernelDelay == 3162);
// Blocks of silence that bring the last input frame out (see
// RestorationKernel::DrainBlock).
inline constexpr int kDrainBlocks = (kKernelDelay + kBlockLength - 1) / kBlockLength;  // 4

// Every output sample lies within +-kOutputBound, the single-precision value
// nearest 0.999 (0.99900001287...).
inline constexpr float kOutputBound = 0.999f;

}  // namespace sonorel
