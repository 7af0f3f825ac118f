// The click stage: sliding-window detection against the direct evaluation,
// the mask and repair rules on hand-placed flags, and whole calls.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/click_repair.h"
#include "filters/tone_filters.h"

namespace sonorel {
namespace {

using Energy = std::array<float, kEnergyLength>;
using Flags = std::array<std::int32_t, kFlagLength>;
using Mask = std::array<std::uint8_t, kFlagLength>;
using NewFlags = std::array<std::int32_t, kBlockLength>;
using Block = std::array<float, kBlockLength>;

// The detection rule evaluated window by window, as written: about 1.8
// million window sums per call.
NewFlags DirectFlags(const Energy& e, float click) {
    auto sum = [&](int j) { return static_cast<double>(e[j + 23]) - e[j]; };
    NewFlags flags{};
    for (int d = 0; d < kBlockLength; ++d) {
        const double centre = sum(d + 604);
        double floor = sum(d);
        for (int j = d; j <= d + 1210; ++j)
            floor = std::min(floor, sum(j));
        double context = sum(d);
        for (int j = d; j <= d + 440; ++j)
            context = std::max(context, sum(j));
        for (int j = d + 770; j <= d + 1210; ++j)
            context = std::max(context, sum(j));
        flags[d] = (centre - floor) * static_cast<double>(click) > context ? 1 : 0;
    }
    return flags;
}

NewFlags SlidingFlags(const Energy& e, float click) {
    NewFlags flags{};
    DetectClicks(e, click, flags);
    return flags;
}

// Running sum of per-position energies, as the stage keeps it in floats.
Energy Accumulate(const std::vector<double>& psi, float start = 0.0f) {
    Energy e{};
    e[0] = start;
    for (int p = 1; p < kEnergyLength; ++p)
        e[p] = static_cast<float>(e[p - 1] + psi[p]);
    return e;
}

int Count(const NewFlags& f) {
    return static_cast<int>(std::count(f.begin(), f.end(), 1));
}

TEST(DetectClicks, SlidingWindowsGiveExactlyTheDirectFlags) {
    std::mt19937 rng(7);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    int flagged = 0;
    for (int trial = 0; trial < 24; ++trial) {
        std::vector<double> psi(kEnergyLength);
        const double scale = std::pow(10.0, -8 + trial % 8);  // quiet to loud
        for (int p = 0; p < kEnergyLength; ++p) {
            const double band = gauss(rng);
            switch (trial % 4) {
                case 0:  // noise energies with sparse spikes (clicks)
                    psi[p] = scale * (band * band + (uniform(rng) < 0.003 ? 400.0 : 0.0));
                    break;
                case 1:  // Teager energies can go negative
                    psi[p] = scale * band;
                    break;
                case 2:  // plateaus: many equal window sums (ties)
                    psi[p] = scale * std::floor(4.0 * uniform(rng)) * ((p / 97) % 2);
                    break;
                default:  // steps and bursts over a wide dynamic range
                    psi[p] = scale * (p % 500 < 40 ? 1e3 : 1.0) * band * band;
                    break;
            }
        }
        const Energy e = Accumulate(psi, static_cast<float>(gauss(rng)));
        for (float click : {0.0f, 0.05f, 0.25f, 0.5f, 2.0f}) {
            const NewFlags direct = DirectFlags(e, click);
            ASSERT_EQ(SlidingFlags(e, click), direct) << "trial " << trial << " click " << click;
            flagged += Count(direct);
        }
    }
    EXPECT_GT(flagged, 100);  // the comparison must have seen flags, not only zeros
}

TEST(DetectClicks, SlidingWindowsMatchOnEnergiesOfARealChannel) {
    // Energies as the stage builds them from a noisy, clicky channel: the E
    // of the second call is the rebased history plus what it stores.
    const ToneFilters filters = DesignToneFilters(44100, {});
    ClickState state{};
    std::mt19937 rng(3);
    std::normal_distribution<float> noise(0.0f, 0.02f);
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    Block out{};
    int flagged = 0;
    for (int block = 0; block < 6; ++block) {
        const std::array<float, kClickHistory> before = state.energySum;
        Block in{};
        for (int k = 0; k < kBlockLength; ++k) {
            in[k] = 0.3f * std::sin(0.05f * (block * kBlockLength + k)) + noise(rng);
            if (uniform(rng) < 0.002f) in[k] += 0.9f;  // sparse clicks
        }
        RemoveClicks(in, 0.25f, filters.rumbleCoeffs, filters.detectCoeffs, state, out);
        Energy e{};
        const float base = before[kClickHistory - 1];
        for (int p = 0; p < kBlockLength; ++p)
            e[p] = before[p] - base;
        std::copy(state.energySum.begin(), state.energySum.end(), e.begin() + kBlockLength);
        if (block == 0) continue;  // the first call's E began from zero history
        const NewFlags direct = DirectFlags(e, 0.25f);
        EXPECT_EQ(SlidingFlags(e, 0.25f), direct) << "block " << block;
        // The stored flags are the newest 616 of this call's 883.
        for (int i = 0; i < kFlagHistory; ++i) {
            ASSERT_EQ(state.clickFlags[i], direct[i + kBlockLength - kFlagHistory]);
        }
        flagged += Count(direct);
    }
    EXPECT_GT(flagged, 0);
}

// Unit energy everywhere and one spike of `height` at position 1000: every
// window sum is 23 except the 23 that hold the spike. Tested positions
// 989..1011 see centre 23 + height, floor 23 and context 23.
Energy SpikeEnergy(double height) {
    std::vector<double> psi(kEnergyLength, 1.0);
    psi[1000] += height;
    return Accumulate(psi);
}

TEST(DetectClicks, ComparisonIsStrict) {
    // (69 - 23) x 0.5 equals the context 23: no flag.
    EXPECT_EQ(Count(SlidingFlags(SpikeEnergy(46.0), 0.5f)), 0);
    // A hair more sensitivity, or a hair more spike, flags the 23 positions
    // whose centre window holds it.
    const NewFlags flags = SlidingFlags(SpikeEnergy(46.0), std::nextafter(0.5f, 1.0f));
    EXPECT_EQ(Count(flags), 23);
    EXPECT_EQ(flags[1000 - 11 - 616], 1);
    EXPECT_EQ(flags[1000 + 11 - 616], 1);
    EXPECT_EQ(Count(SlidingFlags(SpikeEnergy(47.0), 0.5f)), 23);
}

TEST(DetectClicks, ZeroSensitivityFlagsOnlyWhereTheWholeContextIsNegative) {
    std::vector<double> negative(kEnergyLength, -1.0);
    EXPECT_EQ(Count(SlidingFlags(Accumulate(negative), 0.0f)), kBlockLength);
    std::vector<double> positive(kEnergyLength, 1.0);
    positive[1000] = 1e6;
    EXPECT_EQ(Count(SlidingFlags(Accumulate(positive), 0.0f)), 0);
    std::vector<double> silent(kEnergyLength, 0.0);
    EXPECT_EQ(Count(SlidingFlags(Accumulate(silent), 0.0f)), 0);
}

TEST(DetectClicks, MoreSensitivityNeverFlagsFewerPositions) {
    // c - floor is never negative (the floor's span holds the centre window),
    // so the flags for a larger sensitivity contain those for a smaller one.
    std::mt19937 rng(11);
    std::normal_distribution<double> gauss(0.0, 1.0);
    for (int trial = 0; trial < 6; ++trial) {
        std::vector<double> psi(kEnergyLength);
        for (double& v : psi)
            v = gauss(rng) + (gauss(rng) > 2.8 ? 30.0 : 0.0);
        const Energy e = Accumulate(psi);
        NewFlags previous = SlidingFlags(e, 0.0f);
        for (float click : {0.01f, 0.1f, 0.25f, 0.5f, 1.0f, 4.0f}) {
            const NewFlags flags = SlidingFlags(e, click);
            for (int d = 0; d < kBlockLength; ++d)
                ASSERT_GE(flags[d], previous[d]);
            previous = flags;
        }
    }
}

Mask MaskOf(std::initializer_list<int> flagPositions) {
    Flags flags{};
    for (int p : flagPositions)
        flags[p] = 1;
    Mask mask{};
    BuildRepairMask(flags, mask);
    return mask;
}

// Masked positions as [first, last] stretches.
std::vector<std::pair<int, int>> Stretches(const Mask& mask) {
    std::vector<std::pair<int, int>> stretches;
    for (int p = 0; p < kFlagLength; ++p) {
        if (mask[p] == 0) continue;
        if (stretches.empty() || stretches.back().second != p - 1) stretches.emplace_back(p, p);
        stretches.back().second = p;
    }
    return stretches;
}

using StretchList = std::vector<std::pair<int, int>>;

TEST(RepairMask, SingleFlagWidensByElevenBeforeAndTenAfter) {
    EXPECT_EQ(Stretches(MaskOf({700})), (StretchList{{689, 710}}));
}

TEST(RepairMask, FlagsUpToTwentyTwoApartMerge) {
    EXPECT_EQ(Stretches(MaskOf({700, 722})), (StretchList{{689, 732}}));
    // 23 apart: two groups; position 711 (11 after the first) stays clean.
    const Mask mask = MaskOf({700, 723});
    EXPECT_EQ(Stretches(mask), (StretchList{{689, 710}, {712, 733}}));
    EXPECT_EQ(mask[711], 0);
    // A chain of gaps of 22 is one group however long.
    EXPECT_EQ(Stretches(MaskOf({500, 522, 544, 566})), (StretchList{{489, 576}}));
}

TEST(RepairMask, MarginsAreClampedAtBothEnds) {
    EXPECT_EQ(Stretches(MaskOf({1490})), (StretchList{{1479, 1498}}));
    EXPECT_EQ(Stretches(MaskOf({1498})), (StretchList{{1487, 1498}}));
    EXPECT_EQ(Stretches(MaskOf({5})), (StretchList{{0, 15}}));
    EXPECT_EQ(Stretches(MaskOf({0, 20})), (StretchList{{0, 30}}));
}

std::array<float, kEnergyLength> Ramp() {
    std::array<float, kEnergyLength> x{};
    for (int p = 0; p < kEnergyLength; ++p)
        x[p] = 0.001f * static_cast<float>(p % 1000) - 0.3f;
    return x;
}

Block Repair(const std::array<float, kEnergyLength>& x, const Mask& mask) {
    Block out{};
    RepairMasked(x, mask, out);
    return out;
}

// The blend of two anchors at j < q < k.
float Blend(double left, int j, double right, int k, int q) {
    const double dl = static_cast<double>(q - j) * (q - j);
    const double dr = static_cast<double>(k - q) * (k - q);
    return static_cast<float>((left * dr + right * dl) / (dl + dr));
}

TEST(RepairMasked, CleanSamplesPassAndAStretchIsBridgedByItsNeighbours) {
    const auto x = Ramp();
    const Block out = Repair(x, MaskOf({700}));
    for (int m = 0; m < kBlockLength; ++m) {
        const int q = kRepairReach + m;
        if (q < 689 || q > 710) {
            ASSERT_EQ(out[m], x[q]) << q;
        } else {
            ASSERT_EQ(out[m], Blend(x[688], 688, x[711], 711, q)) << q;
        }
    }
}

TEST(RepairMasked, MidwayIsTheMeanOfTheAnchors) {
    // Flags 700 and 701: stretch 689..711, anchors 688 and 712, midway 700.
    std::array<float, kEnergyLength> x{};
    x[688] = 0.25f;
    x[712] = -0.75f;
    const Block out = Repair(x, MaskOf({700, 701}));
    EXPECT_EQ(out[700 - kRepairReach], -0.25f);
}

TEST(RepairMasked, LongStretchesFadeTowardsZero) {
    const auto x = Ramp();
    // Flags every 10 positions from 400 to 1000: stretch 389..1010.
    std::vector<int> dense;
    Flags flags{};
    for (int p = 400; p <= 1000; p += 10)
        flags[p] = 1;
    Mask mask{};
    BuildRepairMask(flags, mask);
    ASSERT_EQ(Stretches(mask), (StretchList{{389, 1010}}));
    const Block out = Repair(x, mask);
    // q = 800: no clean sample within 308 on the left (388 is 412 away), so
    // the left side is 0 at 492; the right anchor 1011 is 211 away.
    EXPECT_EQ(out[800 - kRepairReach], Blend(0.0, 800 - 308, x[1011], 1011, 800));
    // q = 600: left anchor 388 is 212 away, right side 0 at 908.
    EXPECT_EQ(out[600 - kRepairReach], Blend(x[388], 388, 0.0, 908, 600));

    // 300..1100: q = 700 has no anchor on either side and becomes 0.
    Flags wide{};
    for (int p = 300; p <= 1100; p += 10)
        wide[p] = 1;
    BuildRepairMask(wide, mask);
    EXPECT_EQ(Repair(x, mask)[700 - kRepairReach], 0.0f);
}

class RemoveClicksTest : public ::testing::Test {
  protected:
    void SetUp() override { filters = DesignToneFilters(44100, {}); }
    // Runs `input` through one channel in blocks; returns the whole output
    // and adds up the calls' counts.
    std::vector<float> Run(const std::vector<float>& input, float click) {
        ClickState state{};
        std::vector<float> output;
        Block in{};
        Block out{};
        ClickBlockCounts counts;
        clicks = 0;
        repaired = 0;
        flaggedFrames.clear();
        for (std::size_t start = 0; start + kBlockLength <= input.size(); start += kBlockLength) {
            std::copy_n(input.begin() + start, kBlockLength, in.begin());
            RemoveClicks(in, click, filters.rumbleCoeffs, filters.detectCoeffs, state, out,
                         &counts);
            output.insert(output.end(), out.begin(), out.end());
            clicks += counts.clicksDetected;
            repaired += counts.samplesRepaired;
            for (int d = 0; d < kBlockLength; ++d) {
                if (counts.newFlags[d] != 0) {
                    flaggedFrames.push_back(static_cast<int>(start) + d - kNewFlagLag);
                }
            }
        }
        return output;
    }
    ToneFilters filters;
    int clicks = 0;
    int repaired = 0;
    std::vector<int> flaggedFrames;
};

// Quiet music with its own hiss: nothing in it is click-like.
std::vector<float> QuietMusic(std::size_t length) {
    std::mt19937 rng(5);
    std::normal_distribution<float> hiss(0.0f, 0.003f);
    std::vector<float> clean(length);
    for (std::size_t n = 0; n < clean.size(); ++n) {
        clean[n] = 0.1f * std::sin(0.02f * n) + 0.05f * std::sin(0.11f * n) + hiss(rng);
    }
    return clean;
}

void AddClick(std::vector<float>& signal, int frame) {
    signal[frame] += 0.8f;
    signal[frame + 1] -= 0.5f;
    signal[frame + 2] += 0.3f;
}

TEST_F(RemoveClicksTest, SilenceInSilenceOut) {
    const std::vector<float> silence(10 * kBlockLength, 0.0f);
    for (float v : Run(silence, 0.5f))
        ASSERT_EQ(v, 0.0f);
}

TEST_F(RemoveClicksTest, CleanSignalIsTheRumbleFilteredInputDelayedBy925) {
    // Faded in: an abrupt onset after silence is itself click-like.
    std::vector<float> input(12 * kBlockLength);
    for (std::size_t n = 0; n < input.size(); ++n) {
        const float fade = n < 3000 ? 0.5f - 0.5f * std::cos(3.14159265f * n / 3000) : 1.0f;
        input[n] = fade * (0.4f * std::sin(0.031f * n) + 0.2f * std::sin(0.0071f * n));
    }
    const std::vector<float> output = Run(input, 0.25f);
    CascadeState rumble;
    for (std::size_t n = 0; n < output.size(); ++n) {
        if (n < static_cast<std::size_t>(kClickDelay)) {
            ASSERT_EQ(output[n], 0.0f) << n;
        } else {
            ASSERT_EQ(output[n], static_cast<float>(RunCascade(input[n - kClickDelay],
                                                               filters.rumbleCoeffs, rumble)))
                << n;
        }
    }
}

TEST_F(RemoveClicksTest, AClickInQuietMusicIsRepaired) {
    const std::vector<float> clean = QuietMusic(12 * kBlockLength);
    std::vector<float> clicked = clean;
    const int clickFrame = 5000;
    AddClick(clicked, clickFrame);

    const std::vector<float> reference = Run(clean, 0.25f);
    const std::vector<float> detected = Run(clicked, 0.25f);
    const std::vector<float> undetected = Run(clicked, 0.0f);
    double worstRepaired = 0.0;
    double worstKept = 0.0;
    for (int n = clickFrame + kClickDelay - 40; n < clickFrame + kClickDelay + 40; ++n) {
        worstRepaired = std::max(worstRepaired, double{std::abs(detected[n] - reference[n])});
        worstKept = std::max(worstKept, double{std::abs(undetected[n] - reference[n])});
    }
    EXPECT_GT(worstKept, 0.5);  // without detection the click passes
    // Repaired: what remains is the bridge's error on a slow signal and the
    // click's low-frequency residue through the rumble filter.
    EXPECT_LT(worstRepaired, 0.05);
}

TEST_F(RemoveClicksTest, CountsClickGroupsOnceAndEveryRepairedSample) {
    // The flags of the click at 2910 straddle the boundary between the new
    // flags of blocks 3 and 4 (frame 883 x 4 - 617 = 2915): its group must be
    // counted once. Strong clicks also raise flags further away (where the
    // click's negative Teager energy lowers the floor), which count as
    // clicks of their own.
    const std::vector<int> clickFrames{2910, 5297, 7900, 10400};
    std::vector<float> clicked = QuietMusic(16 * kBlockLength);
    for (int frame : clickFrames)
        AddClick(clicked, frame);

    const std::vector<float> passed = Run(clicked, 0.0f);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(repaired, 0);
    const std::vector<float> detected = Run(clicked, 0.25f);
    for (int frame : clickFrames) {
        EXPECT_TRUE(std::any_of(flaggedFrames.begin(), flaggedFrames.end(), [&](int f) {
            return std::abs(f - frame) <= kMarginBefore;
        })) << frame;
    }
    // A group: flags at most 22 apart, wherever the blocks divide them.
    int groups = 0;
    for (std::size_t i = 0; i < flaggedFrames.size(); ++i)
        groups += i == 0 || flaggedFrames[i] - flaggedFrames[i - 1] > kMergeGap;
    EXPECT_EQ(clicks, groups);
    // Exactly the repaired outputs differ from the output without detection.
    int differing = 0;
    for (std::size_t n = 0; n < detected.size(); ++n)
        differing += detected[n] != passed[n];
    EXPECT_EQ(repaired, differing);
}

}  // namespace
}  // namespace sonorel
