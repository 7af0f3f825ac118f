#pragma once
// Channel analysis: measures both channels of a file before it is processed
// and turns the measurement into the kernel's mixing weights and noise-floor
// terms.
//
// The analysis pass reads the file in blocks of 7060 frames. Each channel is
// DC-blocked by AnalysisHighPass (state carried from block to block), then
// MeasureBlock keeps the loudest and quietest mean square of the blocks that
// carry signal throughout in both channels. DeriveChannelParams makes the
// weights from the level range of each channel, so that the output level does
// not depend on the input level, unless "Keep Original Signal Level" is set.

#include <cfloat>
#include <span>

#include "engine/channel_function.h"

namespace sonorel {

inline constexpr int kAnalysisBlockFrames = 7060;
inline constexpr int kActivityWindowFrames = kAnalysisBlockFrames / 2;  // 3530

// Least sum of squares of any activity window: a mean square of 2^-24, an RMS
// of 2^-12 (about -72.2 dB below full scale). A sum equal to it passes.
inline constexpr double kActivityThreshold = kActivityWindowFrames * 0x1p-24;

// Pole of the DC blocker: -3 dB near 79 Hz at 44100 Hz.
inline constexpr float kAnalysisHighPassPole = 0.98866665f;

// Loudest and quietest mean square of the accepted blocks of each channel.
struct ChannelStats {
    float maxL = 0.0f;
    float maxR = 0.0f;
    float minL = FLT_MAX;
    float minR = FLT_MAX;
};

// The four per-file kernel inputs derived from ChannelStats and the settings.
// Always finite.
struct ChannelParams {
    float wL = 0.0f;   // weight of the left estimate, sign included
    float wR = 0.0f;   // weight of the right estimate, sign included
    float nfL = 0.0f;  // noise-floor term, left
    float nfR = 0.0f;  // noise-floor term, right
};

// First-order DC blocker H(z) = (1 - z^-1) / (1 - K z^-1) over one analysis
// block; `state` carries the filter from one block to the next (0 at the start
// of a file). `in` and `out` may be the same buffer.
void AnalysisHighPass(float& state, std::span<const float, kAnalysisBlockFrames> in,
                      std::span<float, kAnalysisBlockFrames> out);

// AnalysisHighPass of both channels at once, states[0] left and states[1]
// right: the same samples, about twice as fast. Outputs may be the inputs.
void AnalysisHighPassPair(std::span<float, 2> states,
                          std::span<const float, kAnalysisBlockFrames> left,
                          std::span<const float, kAnalysisBlockFrames> right,
                          std::span<float, kAnalysisBlockFrames> outLeft,
                          std::span<float, kAnalysisBlockFrames> outRight);

// Accepts the block when every window of 3530 consecutive samples of both
// high-passed channels has a sum of squares of at least kActivityThreshold,
// and then folds the block's mean squares into `stats`. A rejected block
// leaves `stats` unchanged. Returns whether the block was accepted.
bool MeasureBlock(std::span<const float, kAnalysisBlockFrames> left,
                  std::span<const float, kAnalysisBlockFrames> right, ChannelStats& stats);

// The weights, noise-floor terms and signs for the kernel. The weights are
// finite for every `stats`, including a channel without any accepted block
// or with accepted blocks of a single level (see the .cpp for the fallback).
ChannelParams DeriveChannelParams(const ChannelStats& stats, float noiseAmount, float outputGain,
                                  bool keepOriginalLevel, bool antiPhase,
                                  ChannelFunction channelFunction);

}  // namespace sonorel
