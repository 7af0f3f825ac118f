// The end of a block: mix, crossfade, hiss low-pass, shelves, clamp, tail.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "engine/kernel_tables.h"
#include "engine/output_stage.h"

namespace sonorel {
namespace {

using Estimate = std::array<float, kEstimateSpan>;
using Tail = std::array<float, kOverlap>;
using Block = std::array<float, kBlockLength>;

Estimate Constant(float v) {
    Estimate e;
    e.fill(v);
    return e;
}

struct Stage {
    KernelParams params{.wL = 1.0f, .wR = 0.0f};
    ToneFilters filters;  // identity shelves, g = 1, hiss low-pass bypassed
    OutputState state{};
    Block Finish(const Estimate& l, const Estimate& r) {
        Block out{};
        FinishBlock(l, r, params, filters, state, out);
        return out;
    }
};

TEST(CrossfadeRamp, FallsFromOneToZeroAndIsComplementary) {
    const auto& ramp = GetKernelTables().CrossfadeRamp;
    EXPECT_FLOAT_EQ(ramp[0], static_cast<float>((1.0 + std::cos(std::numbers::pi / 883)) / 2));
    EXPECT_LT(ramp[0], 1.0f);
    EXPECT_GT(ramp[kOverlap - 1], 0.0f);
    for (int i = 0; i < kOverlap; ++i) {
        if (i > 0) {
            ASSERT_LT(ramp[i], ramp[i - 1]);
        }
        // Exact in double; two float roundings of values up to 1 leave 3e-8.
        ASSERT_NEAR(double{ramp[i]} + ramp[kOverlap - 1 - i], 1.0, 3e-8) << i;
    }
}

TEST(FinishBlock, FirstBlockFadesInFromTheZeroTail) {
    Stage stage;
    const Block out = stage.Finish(Constant(0.5f), Constant(0.0f));
    const auto& ramp = GetKernelTables().CrossfadeRamp;
    // Sample 0 is (1 - R[0]) = 3.2e-6 of its mix; sample 882 the mix alone.
    EXPECT_FLOAT_EQ(out[0], 0.5f * (1.0f - ramp[0]));
    EXPECT_NEAR(out[0] / 0.5f, 0.0000032, 0.00000005);
    EXPECT_EQ(out[kBlockLength - 1], 0.5f);
    for (int i = 1; i < kOverlap; ++i)
        ASSERT_GT(out[i], out[i - 1]);
}

TEST(FinishBlock, TailIsTheMixOfTheLastSamplesAndFeedsTheNextBlock) {
    Stage stage;
    stage.params.wL = 0.75f;
    stage.params.wR = -0.5f;
    Estimate l{};
    Estimate r{};
    for (int i = 0; i < kEstimateSpan; ++i) {
        l[i] = std::sin(0.01f * i);
        r[i] = std::cos(0.02f * i);
    }
    stage.Finish(l, r);
    for (int k = 0; k < kOverlap; ++k) {
        ASSERT_EQ(stage.state.tail[k],
                  static_cast<float>(0.75 * l[kBlockLength + k] - 0.5 * r[kBlockLength + k]));
    }
    // Next block with a zero mix: output is R[i] x tail, and the tail empties.
    const Tail previous = stage.state.tail;
    const Block out = stage.Finish(Constant(0.0f), Constant(0.0f));
    const auto& ramp = GetKernelTables().CrossfadeRamp;
    for (int i = 0; i < kOverlap; ++i) {
        ASSERT_FLOAT_EQ(out[i], previous[i] * ramp[i]);
    }
    EXPECT_EQ(out[kBlockLength - 1], 0.0f);
    EXPECT_EQ(stage.state.tail, Tail{});
}

TEST(FinishBlock, ClampHoldsExactlyAtTheFloatNearest0999) {
    Stage stage;
    Estimate loud{};
    for (int i = 0; i < kEstimateSpan; ++i)
        loud[i] = (i / 100) % 2 == 0 ? 40.0f : -40.0f;
    stage.Finish(loud, loud);  // fill the tail with loud values too
    const Block out = stage.Finish(loud, loud);
    int atBound = 0;
    for (float v : out) {
        ASSERT_LE(std::abs(v), 0.999f);
        atBound += std::abs(v) == 0.999f;
    }
    EXPECT_GT(atBound, 800);  // runs of exactly +-0.999f
    // The bound itself, and anything inside it, passes unchanged.
    Stage edge;
    const Block at = edge.Finish(Constant(0.999f), Constant(0.0f));
    EXPECT_EQ(at[kBlockLength - 1], 0.999f);
    const Block above = edge.Finish(Constant(std::nextafter(0.999f, 1.0f)), Constant(0.0f));
    EXPECT_EQ(above[kBlockLength - 1], 0.999f);
}

TEST(FinishBlock, NonFiniteSamplesNeverReachTheOutput) {
    Stage stage;
    Estimate bad = Constant(std::numeric_limits<float>::quiet_NaN());
    const Block out = stage.Finish(bad, bad);
    for (float v : out)
        ASSERT_EQ(v, 0.0f);
}

TEST(FinishBlock, BypassedHissLowPassHandsTheCrossfadedMixStraightToTheShelves) {
    // Identity shelves: the output is the crossfaded mix itself.
    Stage plain;
    plain.state.tail.fill(0.25f);
    Estimate l{};
    for (int i = 0; i < kEstimateSpan; ++i)
        l[i] = 0.6f * std::sin(0.2f * i);
    const Block out = plain.Finish(l, Constant(0.0f));
    const auto& ramp = GetKernelTables().CrossfadeRamp;
    for (int i = 0; i < kBlockLength; ++i) {
        double mix = l[i];
        if (i < kOverlap) mix += (0.25 - mix) * ramp[i];
        ASSERT_EQ(out[i], static_cast<float>(mix)) << i;
    }

    // With shelves, the mix reaches them unrounded: each output is the
    // crossfaded mix and both sections evaluated exactly, with the sections'
    // states stored as float, and rounded once.
    Stage shelved;
    shelved.filters =
        DesignToneFilters(44100, {.hissHz = 24000, .bassLiftDb = 6, .trebleLiftDb = -4});
    ASSERT_FALSE(shelved.filters.hissActive);
    shelved.state.tail.fill(0.25f);
    const Block lifted = shelved.Finish(l, Constant(0.0f));
    const ShelfCoeffs c = shelved.filters.shelves;
    float bass = 0.0f, treble = 0.0f;
    int mismatches = 0;
    for (int i = 0; i < kBlockLength; ++i) {
        long double mix = l[i];
        if (i < kOverlap) mix += (0.25L - mix) * ramp[i];
        const long double bassIn = mix + static_cast<long double>(c.bp) * bass;
        const long double trebleIn = bassIn - static_cast<long double>(c.bz) * bass +
                                     static_cast<long double>(c.tp) * treble;
        const long double y = (trebleIn - static_cast<long double>(c.tz) * treble) * c.g;
        bass = static_cast<float>(bassIn);
        treble = static_cast<float>(trebleIn);
        mismatches += lifted[i] != static_cast<float>(y);
    }
    EXPECT_EQ(mismatches, 0);

    // Active, the same mix passes the hiss low-pass first.
    Stage hissed;
    hissed.filters = DesignToneFilters(44100, {.hissHz = 8000});
    ASSERT_TRUE(hissed.filters.hissActive);
    hissed.state.tail.fill(0.25f);
    const Block filtered = hissed.Finish(l, Constant(0.0f));
    CascadeState check;
    for (int i = 0; i < kBlockLength; ++i) {
        ASSERT_EQ(filtered[i],
                  static_cast<float>(RunCascade(out[i], hissed.filters.hissCoeffs, check)));
    }
}

}  // namespace
}  // namespace sonorel
