// The whole kernel over block streams: silence, the three silent blocks, the
// 3162-sample delay and the drain, the clamp, and the reset between files.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "engine/click_repair.h"
#include "engine/kernel.h"
#include "kernel_runner.h"

namespace sonorel {
namespace {

// The stated sizes of the block frame and of its two stages, as the
// derivations in block_frame.h and click_repair.h give them.
static_assert(kBlockLength == 883 && kOverlap == 882 && kEstimateSpan == 1765);
static_assert(kAnalysisLength == 2885 && kChannelBuffer == 3768 && kEstimatorTaps == 177);
static_assert(kTargetOffset == 88 && kEstimateLead == 560 && kKernelDelay == 3162);
static_assert(kClickHistory == 1233 && kFlagHistory == 616 && kRepairReach == 308);
static_assert(kClickDelay == 925 && kFloorSpan == 1211 && kContextSpan == 441);
static_assert(kSecondContext == 770 && kCentreSum == 604 && kEnergyWindow == 23);
static_assert(kMergeGap == 22 && kMarginBefore == 11 && kMarginAfter == 10);

using test::KernelRun;

std::vector<float> Noise(std::size_t length, unsigned seed, float level) {
    std::mt19937 rng(seed);
    std::normal_distribution<float> gauss(0.0f, level);
    std::vector<float> v(length);
    for (float& x : v)
        x = gauss(rng);
    return v;
}

// A music-like pair: shared tones and noise, with each channel's own noise.
struct Stereo {
    std::vector<float> left, right;
};
Stereo MusicLike(std::size_t length, unsigned seed) {
    const std::vector<float> shared = Noise(length, seed, 0.05f);
    const std::vector<float> ownL = Noise(length, seed + 1, 0.01f);
    const std::vector<float> ownR = Noise(length, seed + 2, 0.01f);
    Stereo s{std::vector<float>(length), std::vector<float>(length)};
    for (std::size_t n = 0; n < length; ++n) {
        const float tone =
            0.3f * std::sin(0.031f * n) * std::sin(0.0005f * n) + 0.1f * std::sin(0.173f * n);
        s.left[n] = tone + shared[n] + ownL[n];
        s.right[n] = 0.9f * tone + shared[n] + ownR[n];
    }
    return s;
}

TEST(Kernel, SilenceInSilenceOutWhateverTheSettings) {
    const std::vector<float> silence(12 * kBlockLength, 0.0f);
    for (ChannelFunction mode : {ChannelFunction::MonoEnhancer, ChannelFunction::VocalRemover}) {
        for (unsigned hissHz : {10000u, 21000u}) {
            KernelRun run(44100, 40, hissHz);
            run.params.mode = mode;
            run.params.wL = 1.3f;
            run.params.wR = -0.7f;
            run.params.nfL = 0.0f;  // failing solves throughout
            run.tone.bassLiftDb = 18;
            run.tone.trebleLiftDb = -18;
            for (float v : run.Process(silence, silence))
                ASSERT_EQ(v, 0.0f);
        }
    }
}

TEST(Kernel, FirstThreeBlocksAreExactlyZeroForAnyInput) {
    const Stereo loud = MusicLike(6 * kBlockLength, 4);
    std::vector<float> wild = Noise(6 * kBlockLength, 8, 3.0f);  // far beyond full scale
    for (ChannelFunction mode : {ChannelFunction::MonoEnhancer, ChannelFunction::VocalRemover}) {
        for (int trial = 0; trial < 2; ++trial) {
            KernelRun run;
            run.params.mode = mode;
            run.params.click = 0.5f;
            run.tone.bassLiftDb = 6;
            run.tone.trebleLiftDb = 6;
            const std::vector<float> out =
                trial == 0 ? run.Process(loud.left, loud.right) : run.Process(wild, loud.left);
            for (int n = 0; n < 3 * kBlockLength; ++n)
                ASSERT_EQ(out[n], 0.0f) << n;
            double fourth = 0.0;
            for (int n = 3 * kBlockLength; n < 4 * kBlockLength; ++n)
                fourth += std::abs(out[n]);
            EXPECT_GT(fourth, 0.0) << "signal from the fourth block on";
        }
    }
}

// In Vocal Remover mode a channel whose partner is silent comes out as the
// negated, click-stage output of itself: an impulse shows where the timing
// puts it.
int ImpulsePeak(int frame, bool inLeft) {
    std::vector<float> impulse(frame + 6 * kBlockLength, 0.0f);
    impulse[frame] = 0.5f;
    const std::vector<float> silence(impulse.size(), 0.0f);
    KernelRun run(44100, 40, 21000);  // hiss low-pass bypassed
    run.params.mode = ChannelFunction::VocalRemover;
    run.params.click = 0.0f;  // an isolated impulse is not to be repaired here
    const std::vector<float> out =
        inLeft ? run.Process(impulse, silence) : run.Process(silence, impulse);
    int peak = 0;
    for (int n = 0; n < static_cast<int>(out.size()); ++n) {
        if (std::abs(out[n]) > std::abs(out[peak])) peak = n;
    }
    EXPECT_LT(out[peak], -0.2f) << "negated, half weight";
    return peak;
}

TEST(Kernel, DelaysBothChannelsBy3162Samples) {
    for (int frame : {0, 1, 881, 882, 883, 1000, 2400, 5000}) {
        EXPECT_EQ(ImpulsePeak(frame, true), frame + kKernelDelay) << frame;
        EXPECT_EQ(ImpulsePeak(frame, false), frame + kKernelDelay) << frame;
    }
}

TEST(Kernel, DrainBringsOutTheLastInputFrame) {
    // An impulse in the very last frame of a file: kDrainBlocks blocks of
    // silence carry it out, one fewer does not.
    std::vector<float> impulse(6 * kBlockLength, 0.0f);
    impulse.back() = 0.5f;
    const std::vector<float> silence(impulse.size(), 0.0f);
    KernelRun run(44100, 40, 21000);
    run.params.mode = ChannelFunction::VocalRemover;
    run.params.click = 0.0f;
    std::vector<float> out = run.Process(impulse, silence);
    std::array<float, kBlockLength> drained{};
    for (int block = 0; block < kDrainBlocks; ++block) {
        run.kernel->DrainBlock(drained);
        out.insert(out.end(), drained.begin(), drained.end());
    }
    const auto peak = std::max_element(out.begin(), out.end(),
                                       [](float a, float b) { return std::abs(a) < std::abs(b); });
    EXPECT_EQ(peak - out.begin(), static_cast<long>(impulse.size()) - 1 + kKernelDelay);
    EXPECT_GT(peak - out.begin(), static_cast<long>(out.size()) - kBlockLength);
}

TEST(Kernel, MonoEnhancerReproducesSharedMaterialAfterTheDelay) {
    // Identical channels: each estimator finds the other channel's copy, and
    // the output is the input (through the rumble filter) 3162 later. The
    // hiss low-pass is bypassed: its group delay would shift the peak.
    const std::vector<float> x = Noise(40 * kBlockLength, 21, 0.1f);
    KernelRun run(44100, 40, 21000);
    run.params.click = 0.0f;
    const std::vector<float> out = run.Process(x, x);
    auto correlation = [&](int lag) {
        double xy = 0.0, xx = 0.0, yy = 0.0;
        for (std::size_t n = 8 * kBlockLength; n < out.size(); ++n) {
            xy += double{out[n]} * x[n - lag];
            xx += double{x[n - lag]} * x[n - lag];
            yy += double{out[n]} * out[n];
        }
        return xy / std::sqrt(xx * yy);
    };
    EXPECT_GT(correlation(kKernelDelay), 0.95);
    EXPECT_LT(std::abs(correlation(kKernelDelay - 1)), 0.2);
    EXPECT_LT(std::abs(correlation(kKernelDelay + 1)), 0.2);
}

TEST(Kernel, OverdrivenMixIsClampedToExactly0999) {
    const Stereo music = MusicLike(12 * kBlockLength, 5);
    KernelRun run;
    run.params.wL = 40.0f;
    run.params.wR = 40.0f;
    const std::vector<float> out = run.Process(music.left, music.right);
    int atBound = 0;
    int run0999 = 0;
    int longestRun = 0;
    for (float v : out) {
        ASSERT_LE(std::abs(v), 0.999f);
        const bool clamped = std::abs(v) == 0.999f;
        atBound += clamped;
        run0999 = clamped ? run0999 + 1 : 0;
        longestRun = std::max(longestRun, run0999);
    }
    EXPECT_GT(atBound, 1000);
    EXPECT_GT(longestRun, 5);
}

TEST(Kernel, EveryFileStartsFromAFreshState) {
    const Stereo music = MusicLike(10 * kBlockLength, 6);
    KernelRun run;
    const std::vector<float> first = run.Process(music.left, music.right);
    // A different file in between leaves filter states, histories,
    // coefficients and the tail behind; Reset clears them all.
    const Stereo other = MusicLike(7 * kBlockLength, 60);
    run.Process(other.right, other.left);
    run.kernel->Reset();
    EXPECT_EQ(run.Process(music.left, music.right), first);
}

TEST(Kernel, EveryWayOfDrivingItGivesTheSameSamples) {
    // One thread or two, block by block or pipelined (the output stage of a
    // block beside the next block's channels): the same samples.
    const Stereo music = MusicLike(14 * kBlockLength, 8);
    KernelRun reference;
    const std::vector<float> expected = reference.Process(music.left, music.right);
    struct Way {
        int threads;
        bool pipelined;
    };
    for (const Way way : {Way{2, false}, Way{1, true}, Way{2, true}}) {
        KernelRun run;
        run.threads = way.threads;
        run.pipelined = way.pipelined;
        EXPECT_EQ(run.Process(music.left, music.right), expected)
            << way.threads << " threads, pipelined " << way.pipelined;
        // And again after a reset, for a second file.
        run.kernel->Reset();
        EXPECT_EQ(run.Process(music.left, music.right), expected) << "after Reset";
    }
}

TEST(Kernel, FilesOnSeveralThreadsDoNotInterfere) {
    // Each run owns its state and filters; the shared tables and FFT plans
    // are read-only. Two files at once give what each gives alone.
    const Stereo a = MusicLike(12 * kBlockLength, 7);
    const Stereo b = MusicLike(12 * kBlockLength, 70);
    std::vector<float> aAlone;
    std::vector<float> bAlone;
    {
        KernelRun run;
        aAlone = run.Process(a.left, a.right);
    }
    {
        KernelRun run(48000, 60, 12000);
        run.params.mode = ChannelFunction::VocalRemover;
        bAlone = run.Process(b.left, b.right);
    }
    std::vector<float> aTogether;
    std::vector<float> bTogether;
    std::thread first([&] {
        KernelRun run;
        aTogether = run.Process(a.left, a.right);
    });
    std::thread second([&] {
        KernelRun run(48000, 60, 12000);
        run.params.mode = ChannelFunction::VocalRemover;
        bTogether = run.Process(b.left, b.right);
    });
    first.join();
    second.join();
    EXPECT_EQ(aTogether, aAlone);
    EXPECT_EQ(bTogether, bAlone);
}

TEST(Kernel, BlockCountsKeepTheChannelsApart) {
    // Clicks in the left channel only, a silent right channel. The estimator
    // of the left channel works from the right: with no noise floor on that
    // side it has nothing to solve in any block. The right one works from the
    // left with a floor, which makes even its silent start solvable.
    std::vector<float> left = MusicLike(20 * kBlockLength, 9).left;
    for (float& v : left)
        v *= 0.2f;
    const std::vector<int> clickFrames{4000, 9000, 14000};
    for (int frame : clickFrames)
        left[frame] += 0.9f;
    const std::vector<float> right(left.size(), 0.0f);

    KernelRun run;
    run.params.nfL = 1e-4f;
    run.params.nfR = 0.0f;
    run.kernel->Prepare(run.params, DesignToneFilters(run.sampleRate, run.tone));
    std::array<int, 2> clicks{};
    std::array<int, 2> failed{};
    std::array<float, kBlockLength> out{};
    const int blocks = static_cast<int>(left.size()) / kBlockLength;
    for (int b = 0; b < blocks; ++b) {
        run.kernel->ProcessBlock(
            std::span<const float, kBlockLength>(&left[b * kBlockLength], kBlockLength),
            std::span<const float, kBlockLength>(&right[b * kBlockLength], kBlockLength), out);
        const KernelBlockCounts& counts = run.kernel->LastBlockCounts();
        for (int c = 0; c < 2; ++c) {
            clicks[c] += counts.clicks[c].clicksDetected;
            failed[c] += counts.solveFailed[c];
        }
    }
    EXPECT_GE(clicks[0], static_cast<int>(clickFrames.size()));
    EXPECT_EQ(clicks[1], 0);
    EXPECT_EQ(failed, (std::array<int, 2>{blocks, 0}));
}

}  // namespace
}  // namespace sonorel
