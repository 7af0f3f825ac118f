// The DC blocker measured against its closed form, the activity test at its
// edges, and the weights and noise-floor terms with their worked figures and
// fallbacks.

#include "analysis/channel_analysis.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace sonorel {
namespace {

using Block = std::array<float, kAnalysisBlockFrames>;
constexpr double kSampleRate = 44100.0;

// |H(f)| of (1 - z^-1) / (1 - K z^-1) on the unit circle.
double ClosedFormGain(double frequencyHz) {
    const std::complex<double> z1 =
        std::polar(1.0, -2.0 * std::numbers::pi * frequencyHz / kSampleRate);
    return std::abs((1.0 - z1) / (1.0 - static_cast<double>(kAnalysisHighPassPole) * z1));
}

// Block `index` of a sine of the given amplitude that runs on across blocks.
Block SineBlock(double frequencyHz, double amplitude, int index) {
    Block b{};
    for (int i = 0; i < kAnalysisBlockFrames; ++i) {
        const double n = static_cast<double>(index) * kAnalysisBlockFrames + i;
        b[i] = static_cast<float>(amplitude *
                                  std::sin(2.0 * std::numbers::pi * frequencyHz * n / kSampleRate));
    }
    return b;
}

double MeanSquare(const Block& b) {
    double sum = 0.0;
    for (float v : b)
        sum += static_cast<double>(v) * v;
    return sum / kAnalysisBlockFrames;
}

// Runs `blocks` blocks of a sine through the high-pass; the last output.
Block HighPassedSine(double frequencyHz, double amplitude, int blocks) {
    float state = 0.0f;
    Block out{};
    for (int k = 0; k < blocks; ++k)
        AnalysisHighPass(state, SineBlock(frequencyHz, amplitude, k), out);
    return out;
}

TEST(AnalysisHighPass, GainMatchesTheClosedForm) {
    // The second block is past the transient (time constant 1 / (1 - K), about
    // 88 samples). Its mean square over a non-whole number of periods differs
    // from amplitude^2 / 2 by at most half a sample's worth over the block
    // at these frequencies; 0.2 % on the gain (0.02 dB) covers it.
    for (double f : {79.0, 200.0, 1000.0, 5000.0}) {
        const double measured = std::sqrt(MeanSquare(HighPassedSine(f, 0.5, 2)) / 0.125);
        EXPECT_NEAR(measured, ClosedFormGain(f), 2e-3 * ClosedFormGain(f)) << f << " Hz";
    }
    // The figures the design is known by: -3 dB near 79 Hz, +0.02 dB at 1 kHz.
    EXPECT_NEAR(20.0 * std::log10(ClosedFormGain(79.0)), -3.0, 0.05);
    EXPECT_NEAR(ClosedFormGain(1000.0), 1.0025, 5e-5);
}

TEST(AnalysisHighPass, BlocksDcAndCarriesItsStateAcrossBlocks) {
    Block dc{};
    dc.fill(0.5f);
    float state = 0.0f;
    Block out{};
    AnalysisHighPass(state, dc, out);
    EXPECT_EQ(out[0], 0.5f);  // the step passes at once, then decays
    // The state is stored as float, so the recursion settles where K s + x
    // rounds back to s: the output ends below half a float step of the state
    // (44.1, in steps of 2^-18), about -114 dB, far below the activity
    // threshold.
    EXPECT_LT(std::abs(out[kAnalysisBlockFrames - 1]), 0x1p-19f);

    // Filtering one block in place after another equals the recursion run
    // without a break, each step evaluated exactly and stored as float: the
    // state is the whole memory of the filter, and no output loses bits to
    // the state, which at 300 Hz is about 23 times larger than the output (a
    // float a - s is off by up to about 1e-6 here, some 30 of the output's
    // own steps).
    float carried = 0.0f;
    const Block x0 = SineBlock(300.0, 0.5, 0), x1 = SineBlock(300.0, 0.5, 1);
    Block first = x0, second = x1;
    AnalysisHighPass(carried, first, first);
    AnalysisHighPass(carried, second, second);
    float s = 0.0f;
    for (int n = 0; n < 2 * kAnalysisBlockFrames; ++n) {
        const float x = n < kAnalysisBlockFrames ? x0[n] : x1[n - kAnalysisBlockFrames];
        const long double a = static_cast<long double>(kAnalysisHighPassPole) * s + x;
        const float y = static_cast<float>(a - s);
        s = static_cast<float>(a);
        const float got = n < kAnalysisBlockFrames ? first[n] : second[n - kAnalysisBlockFrames];
        ASSERT_EQ(got, y) << n;
    }
}

TEST(AnalysisHighPass, BothChannelsAtOnceGiveEachChannelsOwnSamples) {
    // Two blocks in place, each channel with its own signal and carried state.
    float stateL = 0.0f, stateR = 0.0f;
    std::array<float, 2> states{};
    for (int k = 0; k < 2; ++k) {
        const Block left = SineBlock(60.0, 0.7, k), right = SineBlock(3000.0, 0.01, k);
        Block expectedL{}, expectedR{};
        AnalysisHighPass(stateL, left, expectedL);
        AnalysisHighPass(stateR, right, expectedR);
        Block gotL = left, gotR = right;
        AnalysisHighPassPair(states, gotL, gotR, gotL, gotR);
        ASSERT_EQ(gotL, expectedL) << k;
        ASSERT_EQ(gotR, expectedR) << k;
    }
    EXPECT_EQ(states[0], stateL);
    EXPECT_EQ(states[1], stateR);
}

TEST(MeasureBlock, WindowSumEqualToTheThresholdPassesAndJustBelowFails) {
    // 2^-12 squared is 2^-24 exactly, so every window sums to exactly T.
    Block atThreshold{};
    atThreshold.fill(1.0f / 4096.0f);
    ChannelStats stats;
    EXPECT_TRUE(MeasureBlock(atThreshold, atThreshold, stats));
    EXPECT_EQ(stats.maxL, 1.0f / 16777216.0f);
    EXPECT_EQ(stats.minR, 1.0f / 16777216.0f);

    Block below = atThreshold;
    below[5000] = 0.0f;  // the windows through sample 5000 fall one square short
    ChannelStats untouched;
    EXPECT_FALSE(MeasureBlock(atThreshold, below, untouched));
    EXPECT_EQ(untouched.maxL, 0.0f);
    EXPECT_EQ(untouched.minL, FLT_MAX);
}

TEST(MeasureBlock, ARunOf3530ZerosInEitherChannelRejectsTheBlock) {
    const Block loud = HighPassedSine(1000.0, 1.0, 2);
    for (int start : {0, 1234, kAnalysisBlockFrames - kActivityWindowFrames}) {
        Block gap = loud;
        std::fill(gap.begin() + start, gap.begin() + start + kActivityWindowFrames, 0.0f);
        ChannelStats stats;
        EXPECT_FALSE(MeasureBlock(gap, loud, stats)) << start;
        EXPECT_FALSE(MeasureBlock(loud, gap, stats)) << start;
        // One sample shorter, every window keeps a loud sample.
        gap[start] = loud[start] == 0.0f ? 0.5f : loud[start];
        EXPECT_TRUE(MeasureBlock(gap, loud, stats)) << start;
    }
}

TEST(MeasureBlock, PureDcIsRejected) {
    Block dc{};
    dc.fill(0.8f);
    float sL = 0.0f, sR = 0.0f;
    Block left{}, right{};
    AnalysisHighPass(sL, dc, left);
    AnalysisHighPass(sR, dc, right);
    ChannelStats stats;
    EXPECT_FALSE(MeasureBlock(left, right, stats));
}

TEST(MeasureBlock, FullScaleSineAt1kHzHasMeanSquareNearHalfTimesTheGainSquared) {
    const Block y = HighPassedSine(1000.0, 1.0, 2);
    ChannelStats stats;
    ASSERT_TRUE(MeasureBlock(y, y, stats));
    // 0.5 |H(1 kHz)|^2 = 0.5025; the partial period at the block edges moves a
    // block's mean square by up to 0.1 % at 1 kHz.
    const double expected = 0.5 * ClosedFormGain(1000.0) * ClosedFormGain(1000.0);
    EXPECT_NEAR(expected, 0.5025, 1e-4);
    EXPECT_NEAR(stats.maxL, expected, 1e-3 * expected);
    EXPECT_EQ(stats.maxL, stats.minL);  // the first accepted block sets both
    EXPECT_EQ(stats.maxR, stats.maxL);
}

TEST(MeasureBlock, KeepsTheLoudestAndQuietestAcceptedBlockPerChannel) {
    const Block quiet = HighPassedSine(1000.0, 0.1, 2);
    const Block mid = HighPassedSine(1000.0, 0.3, 2);
    const Block loud = HighPassedSine(1000.0, 0.9, 2);
    ChannelStats stats;
    ASSERT_TRUE(MeasureBlock(mid, mid, stats));
    ASSERT_TRUE(MeasureBlock(loud, quiet, stats));
    ASSERT_TRUE(MeasureBlock(quiet, loud, stats));
    EXPECT_EQ(stats.maxL, static_cast<float>(MeanSquare(loud)));
    EXPECT_EQ(stats.minL, static_cast<float>(MeanSquare(quiet)));
    EXPECT_EQ(stats.maxR, static_cast<float>(MeanSquare(loud)));
    EXPECT_EQ(stats.minR, static_cast<float>(MeanSquare(quiet)));
}

ChannelStats Stats(float maxL, float minL, float maxR, float minR) {
    return {maxL, maxR, minL, minR};
}

// Figures to four decimals: the precision they are known to.
constexpr double kFourDecimals = 5e-5;

TEST(DeriveChannelParams, WeightFromTheLevelRange) {
    const ChannelParams p = DeriveChannelParams(Stats(0.01f, 0.0001f, 0.01f, 0.0001f), 0.5f, 1.0f,
                                                false, false, ChannelFunction::MonoEnhancer);
    EXPECT_NEAR(p.wL, 1.2563, kFourDecimals);
    EXPECT_NEAR(p.wR, 1.2563, kFourDecimals);
    // The weight scales with the output gain factor.
    const ChannelParams loud =
        DeriveChannelParams(Stats(0.01f, 0.0001f, 0.01f, 0.0001f), 0.5f, 2.0f, false, false,
                            ChannelFunction::MonoEnhancer);
    EXPECT_FLOAT_EQ(loud.wL, 2.0f * p.wL);
}

TEST(DeriveChannelParams, KeepOriginalLevelKeepsOnlyTheRatio) {
    // wR = 0.125 / sqrt(range) = 0.6 for a right range of (0.125 / 0.6)^2.
    const float rangeR = static_cast<float>((0.125 / 0.6) * (0.125 / 0.6));
    const ChannelStats stats = Stats(0.01f, 0.0001f, 0.05f, 0.05f - rangeR);
    const ChannelParams plain =
        DeriveChannelParams(stats, 0.5f, 1.0f, false, false, ChannelFunction::MonoEnhancer);
    ASSERT_NEAR(plain.wR, 0.6, 1e-5);
    const ChannelParams kept =
        DeriveChannelParams(stats, 0.5f, 1.0f, true, false, ChannelFunction::MonoEnhancer);
    EXPECT_NEAR(kept.wL, 0.6768, kFourDecimals);
    EXPECT_NEAR(kept.wR, 0.3232, kFourDecimals);
    EXPECT_NEAR(kept.wL + kept.wR, 1.0, 1e-6);
    const ChannelParams gained =
        DeriveChannelParams(stats, 0.5f, 0.5f, true, false, ChannelFunction::MonoEnhancer);
    EXPECT_NEAR(gained.wL + gained.wR, 0.5, 1e-6);
}

TEST(DeriveChannelParams, NoiseFloorTerms) {
    const ChannelStats stats = Stats(0.01f, 0.0001f, 0.04f, 0.001f);
    const ChannelParams off =
        DeriveChannelParams(stats, 0.0f, 1.0f, false, false, ChannelFunction::MonoEnhancer);
    EXPECT_EQ(off.nfL, 0.0f);
    EXPECT_EQ(off.nfR, 0.0f);

    // Full "Silence Enhancer": FL = 0.25 (0.0001 + 0.0625 x 0.0099) = 1.796875e-4,
    // nfL = FL x 0.01 x 2885 / (0.01 + FL + 2^-12) = 0.4973206 (by hand, in
    // decimals; the float inputs 0.01f and 0.0001f move it by under 1e-6).
    const ChannelParams full =
        DeriveChannelParams(stats, 1.0f, 1.0f, false, false, ChannelFunction::MonoEnhancer);
    EXPECT_NEAR(full.nfL, 0.4973206, 2e-6);
    // Close to 2885 x FL while FL is small against the loudest level...
    EXPECT_NEAR(full.nfL / (2885.0 * 1.796875e-4), 1.0, 0.05);
    // ...and below 2885 x the loudest level in any case.
    EXPECT_LT(full.nfR, 2885.0f * 0.04f);
    // Rises with the square of the position.
    const ChannelParams half =
        DeriveChannelParams(stats, 0.5f, 1.0f, false, false, ChannelFunction::MonoEnhancer);
    EXPECT_NEAR(half.nfL / full.nfL, 0.25, 0.01);  // 0.01: the denominator's FL changes too
}

TEST(DeriveChannelParams, SignsFollowAntiPhaseThenVocalRemover) {
    const ChannelStats stats = Stats(0.01f, 0.0001f, 0.02f, 0.0002f);
    const ChannelParams mono =
        DeriveChannelParams(stats, 0.5f, 1.0f, false, false, ChannelFunction::MonoEnhancer);
    EXPECT_GT(mono.wL, 0.0f);
    EXPECT_GT(mono.wR, 0.0f);
    const ChannelParams anti =
        DeriveChannelParams(stats, 0.5f, 1.0f, false, true, ChannelFunction::MonoEnhancer);
    EXPECT_EQ(anti.wL, mono.wL);
    EXPECT_EQ(anti.wR, -mono.wR);
    const ChannelParams vocal =
        DeriveChannelParams(stats, 0.5f, 1.0f, false, false, ChannelFunction::VocalRemover);
    EXPECT_EQ(vocal.wL, -mono.wL);
    EXPECT_EQ(vocal.wR, mono.wR);
    const ChannelParams both =
        DeriveChannelParams(stats, 0.5f, 1.0f, false, true, ChannelFunction::VocalRemover);
    EXPECT_LT(both.wL, 0.0f);
    EXPECT_LT(both.wR, 0.0f);
    // Keep-level comes first, on the unsigned weights: magnitudes still sum to the gain.
    const ChannelParams kept =
        DeriveChannelParams(stats, 0.5f, 0.8f, true, true, ChannelFunction::VocalRemover);
    EXPECT_NEAR(-kept.wL - kept.wR, 0.8, 1e-6);
}

// Fallbacks: the weight formula has no finite value without a level range.

TEST(DeriveChannelParams, NoAcceptedBlockAveragesTheChannelsAtTheInputLevel) {
    const ChannelStats none;  // maxX = 0, minX = FLT_MAX
    const ChannelParams p =
        DeriveChannelParams(none, 1.0f, 0.7f, false, false, ChannelFunction::MonoEnhancer);
    EXPECT_FLOAT_EQ(p.wL, 0.35f);
    EXPECT_FLOAT_EQ(p.wR, 0.35f);
    EXPECT_EQ(p.nfL, 0.0f);
    EXPECT_EQ(p.nfR, 0.0f);
    const ChannelParams kept =
        DeriveChannelParams(none, 1.0f, 0.7f, true, true, ChannelFunction::VocalRemover);
    EXPECT_FLOAT_EQ(kept.wL, -0.35f);
    EXPECT_FLOAT_EQ(kept.wR, -0.35f);
}

TEST(DeriveChannelParams, OneLevelIsNormalisedLikeARecordingWhoseQuietestIsSilence) {
    const ChannelParams single = DeriveChannelParams(Stats(0.04f, 0.04f, 0.09f, 0.09f), 0.5f, 1.0f,
                                                     false, false, ChannelFunction::MonoEnhancer);
    const ChannelParams fromSilence = DeriveChannelParams(
        Stats(0.04f, 0.0f, 0.09f, 0.0f), 0.5f, 1.0f, false, false, ChannelFunction::MonoEnhancer);
    EXPECT_FLOAT_EQ(single.wL, 0.125f / 0.2f);
    EXPECT_FLOAT_EQ(single.wR, 0.125f / 0.3f);
    EXPECT_FLOAT_EQ(single.wL, fromSilence.wL);
    EXPECT_FLOAT_EQ(single.wR, fromSilence.wR);
    EXPECT_TRUE(std::isfinite(single.nfL));
    EXPECT_TRUE(std::isfinite(single.nfR));
}

// A range below 1/16 of the loudest level is scatter; the weight moves
// continuously from the one-level fallback to the formula and stays within
// 4 times (12 dB) the weight of a recording whose quietest level is silence.
TEST(DeriveChannelParams, WeightIsContinuousAndBoundedAsTheRangeShrinks) {
    const float level = 0.1f;
    auto weight = [&](double range) {
        const float minLevel = static_cast<float>(level - range);
        return DeriveChannelParams(Stats(level, minLevel, level, minLevel), 0.5f, 1.0f, false,
                                   false, ChannelFunction::MonoEnhancer)
            .wL;
    };
    const double silenceWeight = 0.125 / std::sqrt(level);
    EXPECT_NEAR(weight(0.0), silenceWeight, 1e-6);
    for (int i = 0; i <= 1000; ++i) {
        const double range = level * i / 1000.0;  // 0 .. the whole level
        const float w = weight(range);
        ASSERT_TRUE(std::isfinite(w));
        ASSERT_LE(w, 4.0 * silenceWeight * (1 + 1e-6)) << range;
        if (range >= level / 16.0 * (1 + 1e-6)) {
            ASSERT_NEAR(w, 0.125 / std::sqrt(range), 1e-5) << range;  // the plain formula
        }
    }
    // No jump where the formula takes over (float rounding of minL: 1e-4).
    const double threshold = level / 16.0;
    EXPECT_NEAR(weight(threshold * (1 - 1e-5)) / weight(threshold * (1 + 1e-5)), 1.0, 1e-4);
}

ChannelStats Analyse(double leftHz, double leftAmplitude, double rightHz, double rightAmplitude,
                     int blocks) {
    ChannelStats stats;
    float sL = 0.0f, sR = 0.0f;
    Block left{}, right{};
    for (int k = 0; k < blocks; ++k) {
        AnalysisHighPass(sL, SineBlock(leftHz, leftAmplitude, k), left);
        AnalysisHighPass(sR, SineBlock(rightHz, rightAmplitude, k), right);
        MeasureBlock(left, right, stats);
    }
    return stats;
}

// Whole files through the analysis: each would give the kernel an infinite
// weight, or one far too large, from the formula alone.
TEST(DeriveChannelParams, FilesWithoutALevelRangeGetFiniteSensibleWeights) {
    // One channel silent throughout: no block is accepted.
    const ChannelStats silent = Analyse(1000.0, 0.5, 1000.0, 0.0, 5);
    EXPECT_EQ(silent.maxL, 0.0f);
    const ChannelParams s =
        DeriveChannelParams(silent, 0.5f, 1.0f, false, false, ChannelFunction::MonoEnhancer);
    EXPECT_FLOAT_EQ(s.wL, 0.5f);
    EXPECT_FLOAT_EQ(s.wR, 0.5f);

    // A single analysis block: one level per channel.
    const ChannelStats single = Analyse(1000.0, 0.5, 440.0, 0.25, 1);
    EXPECT_EQ(single.maxL, single.minL);
    const ChannelParams one =
        DeriveChannelParams(single, 0.5f, 1.0f, false, false, ChannelFunction::MonoEnhancer);
    EXPECT_FLOAT_EQ(one.wL, static_cast<float>(0.125 / std::sqrt(single.maxL)));

    // A steady tone: its blocks differ only by the partial period at their
    // edges (0.1 % here), so its weight stays within 1 % of the one-level
    // fallback instead of growing thirty-fold.
    const ChannelStats steady = Analyse(1000.0, 0.5, 1000.0, 0.5, 10);
    ASSERT_GT(steady.maxL, steady.minL);
    const ChannelParams tone =
        DeriveChannelParams(steady, 0.5f, 1.0f, false, false, ChannelFunction::MonoEnhancer);
    EXPECT_NEAR(tone.wL * std::sqrt(steady.maxL) / 0.125, 1.0, 0.01);
    for (const ChannelParams& p : {s, one, tone}) {
        EXPECT_TRUE(std::isfinite(p.wL) && std::isfinite(p.wR));
        EXPECT_TRUE(std::isfinite(p.nfL) && std::isfinite(p.nfR));
    }
}

TEST(DeriveChannelParams, ZeroGainWithKeepLevelStaysFinite) {
    const ChannelParams p = DeriveChannelParams(Stats(0.01f, 0.0001f, 0.01f, 0.0001f), 0.5f, 0.0f,
                                                true, false, ChannelFunction::MonoEnhancer);
    EXPECT_EQ(p.wL, 0.0f);
    EXPECT_EQ(p.wR, 0.0f);
}

}  // namespace
}  // namespace sonorel
