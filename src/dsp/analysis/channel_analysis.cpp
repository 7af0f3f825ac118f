// Channel analysis and mixing weights
// ===================================
//
// AnalysisHighPass is the first-order DC blocker
//
//     a = K s + x[n];   y[n] = a - s;   s = a        H(z) = (1 - z^-1) / (1 - K z^-1)
//
// with K = 0.98866665: a zero at DC and a pole just inside the unit circle.
// It removes DC offset and the lowest rumble before the channels are
// measured; at 44100 Hz its -3 dB point is near 79 Hz (it scales with the
// sample rate) and its gain at 1 kHz is about 1.0025. No delay to speak of:
// it is a one-sample recursion and only its magnitude matters here.
//
// MeasureBlock accepts a block when every run of 3530 consecutive samples
// (half a block, 3531 runs per channel) of both channels has a sum of
// squares of at least T = 3530 * 2^-24, i.e. an RMS of at least 2^-12
// (-72.2 dBFS) throughout. A pause, a fade or a dead channel anywhere in the
// block rejects it. An accepted block's mean square per channel updates the
// loudest and quietest level of that channel.
//
// DeriveChannelParams sets each channel's weight from its level range,
// w = gain * 0.125 / sqrt(max - min), so the output level does not depend on
// the input level, and each noise-floor term from a level 1/16 of the way
// from the quietest to the loudest block, scaled by the "Silence Enhancer"
// position squared, as the energy of a 2885-sample segment (the kernel's
// analysis length).

#include "analysis/channel_analysis.h"

#include <algorithm>
#include <cmath>

#include "engine/block_frame.h"

namespace sonorel {
namespace {

constexpr double kInverseBlockFrames = 1.0 / kAnalysisBlockFrames;  // 0.00014164305949008498
constexpr double kWeightScale = 0.125;
constexpr double kNoiseScale = 0.25;
constexpr double kFloorFraction = 0.0625;
constexpr double kSegmentLength = kAnalysisLength;  // the estimators' segment
constexpr double kFloorGuard = 1.0 / 4096.0;        // 2^-12, keeps the denominator above zero

// Sum of squares of the whole block in `total` when every window of the
// channel reaches the threshold. The window starting at k is C[k + 3529] -
// C[k - 1] with C the running sum; the trailing sum repeats the leading one's
// additions in the same order, so it equals C[k - 1] bit for bit without
// storing the running sums. Stops at the first window below the threshold.
bool ChannelIsActive(std::span<const float, kAnalysisBlockFrames> y, double& total) {
    double leading = 0.0;   // C[i]
    double trailing = 0.0;  // C[i - 3530]; C[-1] = 0
    for (int i = 0; i < kAnalysisBlockFrames; ++i) {
        leading += static_cast<double>(y[i]) * y[i];
        if (i >= kActivityWindowFrames - 1) {
            if (leading - trailing < kActivityThreshold) return false;
            const int k = i - (kActivityWindowFrames - 1);  // this window's first sample
            trailing += static_cast<double>(y[k]) * y[k];
        }
    }
    total = leading;
    return true;
}

struct ChannelTerms {
    double weight;
    double noiseFloor;
};

// Below this fraction of the loudest level, a level range is the scatter of
// a steady signal, not dynamics: a steady tone's blocks differ only by the
// partial period at their edges (0.1 % at 1 kHz, 1.5 % at 100 Hz), which the
// plain formula would turn into a weight 10 to 100 times too large.
constexpr double kSteadyRangeFraction = 1.0 / 16.0;

// The range the weight formula uses. From the measured range down to 1/16
// of the loudest level it is the measured range. Below that it slides
// linearly to the loudest level itself at range 0 (no range: the quietest
// level is taken as silence, which gives the loudness normalisation of a
// typical recording, whose quietest blocks are far below its loudest). The
// weight thus stays continuous and never exceeds 4 times (12 dB) that of a
// typical recording of the same loudest level.
double EffectiveRange(double range, double maxLevel) {
    const double threshold = kSteadyRangeFraction * maxLevel;
    if (range >= threshold) return range;
    const double slide = std::max(range, 0.0) / threshold;  // 0 at no range, 1 at the threshold
    return maxLevel + slide * (threshold - maxLevel);
}

// One channel's weight and noise-floor term. The plain weight formula needs
// a positive level range; where there is none (or only scatter, see
// EffectiveRange) the run falls back rather than hand the kernel an infinite
// or NaN weight. A channel without any accepted block (one channel silent
// throughout, a pause in every block) has no level at all: its weight is
// 0.5 x gain, so the two estimates are averaged at the input's own level,
// and without a measured floor its noise-floor term is 0.
ChannelTerms DeriveChannel(float maxLevel, float minLevel, double s1, double s2, double gain) {
    if (!(maxLevel > 0.0f)) return {0.5 * gain, 0.0};
    const double range = static_cast<double>(maxLevel) - minLevel;
    const double weight = s2 / std::sqrt(EffectiveRange(range, maxLevel));
    const double floorLevel = s1 * (minLevel + kFloorFraction * range);
    const double noiseFloor =
        floorLevel * (maxLevel * kSegmentLength / (maxLevel + floorLevel + kFloorGuard));
    return {weight, noiseFloor};
}

}  // namespace

namespace {

// One sample of the DC blocker. In double, stored as float: at low
// frequencies the state is far larger than the output (for DC it settles at
// 88 times the input while the output decays to 0), so a float a - s would
// lose the output's low bits, enough to move a quiet block across the
// activity threshold.
inline float HighPassStep(float& s, float x) {
    const double a = static_cast<double>(kAnalysisHighPassPole) * s + x;
    const auto y = static_cast<float>(a - s);
    s = static_cast<float>(a);
    return y;
}

}  // namespace

void AnalysisHighPass(float& state, std::span<const float, kAnalysisBlockFrames> in,
                      std::span<float, kAnalysisBlockFrames> out) {
    float s = state;
    for (int n = 0; n < kAnalysisBlockFrames; ++n)
        out[n] = HighPassStep(s, in[n]);
    state = s;
}

void AnalysisHighPassPair(std::span<float, 2> states,
                          std::span<const float, kAnalysisBlockFrames> left,
                          std::span<const float, kAnalysisBlockFrames> right,
                          std::span<float, kAnalysisBlockFrames> outLeft,
                          std::span<float, kAnalysisBlockFrames> outRight) {
    // Each recursion waits on its previous sample; two in one loop overlap.
    float sL = states[0];
    float sR = states[1];
    for (int n = 0; n < kAnalysisBlockFrames; ++n) {
        outLeft[n] = HighPassStep(sL, left[n]);
        outRight[n] = HighPassStep(sR, right[n]);
    }
    states[0] = sL;
    states[1] = sR;
}

bool MeasureBlock(std::span<const float, kAnalysisBlockFrames> left,
                  std::span<const float, kAnalysisBlockFrames> right, ChannelStats& stats) {
    double sumL = 0.0;
    double sumR = 0.0;
    if (!ChannelIsActive(left, sumL) || !ChannelIsActive(right, sumR)) return false;
    const float mL = static_cast<float>(sumL * kInverseBlockFrames);
    const float mR = static_cast<float>(sumR * kInverseBlockFrames);
    // Independent comparisons: the first accepted block sets both extremes.
    if (mL > stats.maxL) stats.maxL = mL;
    if (mL < stats.minL) stats.minL = mL;
    if (mR > stats.maxR) stats.maxR = mR;
    if (mR < stats.minR) stats.minR = mR;
    return true;
}

ChannelParams DeriveChannelParams(const ChannelStats& stats, float noiseAmount, float outputGain,
                                  bool keepOriginalLevel, bool antiPhase,
                                  ChannelFunction channelFunction) {
    const double s1 = static_cast<double>(noiseAmount) * noiseAmount * kNoiseScale;
    const double s2 = static_cast<double>(outputGain) * kWeightScale;
    const ChannelTerms left = DeriveChannel(stats.maxL, stats.minL, s1, s2, outputGain);
    const ChannelTerms right = DeriveChannel(stats.maxR, stats.minR, s1, s2, outputGain);

    double wL = left.weight;
    double wR = right.weight;
    // Keep the input's level: only the ratio of the weights comes from the
    // analysis, their sum is the output gain. (Both weights are positive here
    // for any positive gain; the test only keeps a zero gain from making NaN.)
    if (keepOriginalLevel && wL + wR > 0.0) {
        const double k = outputGain / (wL + wR);
        wL *= k;
        wR *= k;
    }
    if (antiPhase) wR = -wR;  // vertical cut: the channels carry the signal in opposite polarity
    if (channelFunction == ChannelFunction::VocalRemover) {
        wL = -wL;  // keep what the channels do not share
    }

    return {static_cast<float>(wL), static_cast<float>(wR), static_cast<float>(left.noiseFloor),
            static_cast<float>(right.noiseFloor)};
}

}  // namespace sonorel
