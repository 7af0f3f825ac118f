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

// Which sizes are choices and which follow from them:
//   - chosen (they set the sound; output bytes change with any of them):
//     the block length, the analysis length (the estimator's segment and
//     window), the estimator taps, and the click stage's energy window,
//     context stretches, context gap and repair reach;
//   - fixed by the design, written below as what they follow from: the
//     overlap and estimate span (a block plus the next one's crossfade),
//     the channel buffer (history plus block), the target offset (the
//     filter's centre tap), the estimate lead (the estimates centred on the
//     window), the click stage's histories and delay, and the kernel delay.

namespace sonorel {

inline constexpr int kBlockLength = 883;           // frames in, samples out per block
inline constexpr int kOverlap = kBlockLength - 1;  // samples crossfaded with the previous block
inline constexpr int kAnalysisLength = 2885;       // estimator segment and channel history length
inline constexpr int kWindowHalf = (kAnalysisLength - 1) / 2;  // 1442: stored half of the window
inline constexpr int kEstimatorTaps = 177;
inline constexpr int kEstimateSpan = kBlockLength + kOverlap;          // 1765
inline constexpr int kChannelBuffer = kAnalysisLength + kBlockLength;  // 3768

// Click repair (click_repair.h). Detection compares window sums of
// kEnergyWindow Teager energies: a floor over two context stretches of
// kContextSpan sums and the kContextGap sums between them, which hold the
// tested centre. Repair blends across up to kRepairReach positions.
inline constexpr int kEnergyWindow = 23;
inline constexpr int kContextSpan = 441;
inline constexpr int kContextGap = 329;
inline constexpr int kRepairReach = 308;
inline constexpr int kFloorSpan = kContextSpan + kContextGap + kContextSpan;  // 1211 window sums
// The energy sum and repair input kept from earlier calls: the floor of the
// newest tested position reaches back over all of it.
inline constexpr int kClickHistory = kFloorSpan + kEnergyWindow - 1;  // 1233
// The flags kept: output m is position kRepairReach + m, and its anchors lie
// up to kRepairReach positions on either side, so the mask spans the block
// and a reach on each side.
inline constexpr int kFlagHistory = 2 * kRepairReach;             // 616
inline constexpr int kClickDelay = kClickHistory - kRepairReach;  // 925

// Estimation: both estimators analyse their target from this buffer index,
// the filter's centre tap (h[j] weighs the input j samples ahead), so the
// left and right contributions to an output sample belong to the same input
// frame; Y[i] estimates segment index kEstimateLead + i, which centres the
// estimate span on the window's centre.
inline constexpr int kTargetOffset = (kEstimatorTaps - 1) / 2;               // 88
inline constexpr int kEstimateLead = kWindowHalf - (kEstimateSpan - 1) / 2;  // 560
// The filtered input, Q[560 .. 2500], lies inside the segment, and the
// target segment inside the channel buffer.
static_assert(kEstimateLead + kEstimateSpan - 1 + kEstimatorTaps - 1 < kAnalysisLength);
static_assert(kTargetOffset + kAnalysisLength <= kChannelBuffer);

inline constexpr int kKernelDelay = kAnalysisLength + kClickDelay - kEstimateLead - kTargetOffset;
static_assert(kKernelDelay == 3162);
// Blocks of silence that bring the last input frame out (see
// RestorationKernel::DrainBlock).
inline constexpr int kDrainBlocks = (kKernelDelay + kBlockLength - 1) / kBlockLength;  // 4

// Every output sample lies within +-kOutputBound, the single-precision value
// nearest 0.999 (0.99900001287...).
inline constexpr float kOutputBound = 0.999f;

}  // namespace sonorel
