// The enhanced method: what it must do whatever its tuning. Its quality is
// measured by bench/quality, not here.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "enhanced/enhanced_analysis.h"
#include "enhanced/enhanced_kernel.h"
#include "enhanced/wall_declick.h"
#include "support/allocation_counter.h"

namespace sonorel {
namespace {

constexpr int kRate = 44100;

// A file's two walls, whole, and the method run over them as a file run
// does: analysis, then the kernel block by block, the delay dropped.
struct Walls {
    std::vector<float> left;
    std::vector<float> right;
};

// Programme that fills the spectrum: a few incommensurate partials.
float Programme(int n) {
    double sum = 0.0;
    for (int h = 1; h <= 12; ++h)
        sum += std::sin(0.0137 * h * h * n + h) / (h + 2);
    return static_cast<float>(0.3 * sum);
}

std::vector<float> Restore(const Walls& walls, const EnhancedControls& controls,
                           EnhancedFigures* figuresOut = nullptr) {
    const ToneFilters filters = DesignToneFilters(kRate, {.hissHz = 24000});
    auto analysis = std::make_unique<EnhancedAnalysis>();
    analysis->Prepare(filters.rumbleCoeffs, controls.antiPhase);
    analysis->Add(walls.left, walls.right);
    const EnhancedFigures figures = analysis->Finish(kRate);
    if (figuresOut != nullptr) *figuresOut = figures;
    auto kernel = std::make_unique<EnhancedKernel>();
    kernel->Prepare(DeriveEnhancedParams(controls, figures.loudestRms), figures.profile, filters);
    const std::size_t frames = walls.left.size();
    std::vector<float> out;
    std::array<float, kBlockLength> l{};
    std::array<float, kBlockLength> r{};
    std::array<float, kBlockLength> o{};
    for (std::size_t start = 0; out.size() < frames + kEnhancedDelay; start += kBlockLength) {
        for (std::size_t k = 0; k < kBlockLength; ++k) {
            l[k] = start + k < frames ? walls.left[start + k] : 0.0f;
            r[k] = start + k < frames ? walls.right[start + k] : 0.0f;
        }
        kernel->ProcessBlock(l, r, o);
        out.insert(out.end(), o.begin(), o.end());
    }
    return {out.begin() + kEnhancedDelay, out.begin() + kEnhancedDelay + frames};
}

TEST(EnhancedKernel, AllocatesNothingPerBlock) {
    const ToneFilters filters =
        DesignToneFilters(kRate, {.hissHz = 10000, .bassLiftDb = 3, .trebleLiftDb = -3});
    auto analysis = std::make_unique<EnhancedAnalysis>();
    analysis->Prepare(filters.rumbleCoeffs, false);
    std::array<float, kBlockLength> left{};
    std::array<float, kBlockLength> right{};
    std::array<float, kBlockLength> out{};
    const auto fill = [&](int block) {
        for (int k = 0; k < kBlockLength; ++k) {
            const int n = block * kBlockLength + k;
            left[k] = Programme(n) + ((n % 997) == 0 ? 0.8f : 0.0f);
            right[k] = 0.9f * Programme(n) + ((n % 1499) == 0 ? -0.6f : 0.0f);
        }
    };
    long before = test::AllocationsInProcess();
    for (int block = 0; block < 60; ++block) {
        fill(block);
        analysis->Add(left, right);
    }
    EXPECT_EQ(test::AllocationsInProcess() - before, 0) << "analysis";
    const EnhancedFigures figures = analysis->Finish(kRate);
    auto kernel = std::make_unique<EnhancedKernel>();
    kernel->Prepare(DeriveEnhancedParams({}, figures.loudestRms), figures.profile, filters);
    before = test::AllocationsInProcess();
    for (int block = 0; block < 60; ++block) {
        fill(block);
        kernel->ProcessBlock(left, right, out);
    }
    kernel->DrainBlock(out);
    EXPECT_EQ(test::AllocationsInProcess() - before, 0) << "kernel";
    EXPECT_GT(kernel->Counts().ticks[0], 0);
}

TEST(EnhancedKernel, SilenceInGivesSilenceOut) {
    const Walls silence{std::vector<float>(20 * kBlockLength),
                        std::vector<float>(20 * kBlockLength)};
    for (const std::vector<float>& out :
         {Restore(silence, {}), Restore(silence, {.noiseAmount = 1})}) {
        for (const float sample : out)
            ASSERT_EQ(sample, 0.0f);
    }
}

// Identical walls, a tick in the left alone: the prediction of the left from
// the right is then the right itself, so the repaired output is the output
// of the clean walls. Without repair the tick stays in the mean of the walls.
TEST(EnhancedKernel, TickInOneWallIsRepairedFromTheOther) {
    constexpr int kFrames = 60 * kBlockLength;
    constexpr int kTickAt = 31000;
    constexpr float kTick = 0.5f;
    Walls clean{std::vector<float>(kFrames), std::vector<float>(kFrames)};
    for (int n = 0; n < kFrames; ++n)
        clean.left[n] = clean.right[n] = Programme(n);
    Walls ticked = clean;
    for (int k = 0; k < 6; ++k)
        ticked.left[kTickAt + k] += kTick * (k % 2 == 0 ? 1.0f : -0.7f);

    const EnhancedControls repair{
        .clickAmount = 0.5f, .noiseAmount = 0.0f, .keepOriginalLevel = true};
    const std::vector<float> reference = Restore(clean, repair);
    const std::vector<float> repaired = Restore(ticked, repair);
    EnhancedControls noRepair = repair;
    noRepair.clickAmount = 0.0f;
    const std::vector<float> unrepaired = Restore(ticked, noRepair);
    double repairedError = 0.0;
    double unrepairedError = 0.0;
    for (int n = kTickAt - 200; n < kTickAt + 200; ++n) {
        repairedError = std::max(repairedError, std::fabs(double{repaired[n]} - reference[n]));
        unrepairedError =
            std::max(unrepairedError, std::fabs(double{unrepaired[n]} - reference[n]));
    }
    // The tick's mean over the walls is kTick / 2 (0.25); what the repair
    // leaves is the difference of the cross-wall filter from identity (it
    // is fitted on walls that hold the tick, and tapered): under 5 % of it.
    EXPECT_GT(unrepairedError, 0.1);
    EXPECT_LT(repairedError, 0.05 * kTick / 2);
}

// Sharp pulses in both walls (a voice's glottal pulses), the right wall
// `offset` samples late, and cross-wall filters that render them only in
// part (a fifth): each wall's prediction error then holds most of every
// pulse, and the walls' outliers lie `offset` samples apart. They are one
// event in both walls, not a tick in either, whatever the offset.
TEST(WallDeclicker, PulsesBothWallsCarryAFewSamplesApartAreNotTicks) {
    constexpr int kHops = 48;
    constexpr int kPulseSpacing = 280;
    constexpr float kPulse = 0.5f;
    constexpr float kNoise = 0.01f;
    for (const int offset : {0, 2, 6, 10}) {
        std::array<float, kCrossTaps> leftFromRight{};
        std::array<float, kCrossTaps> rightFromLeft{};
        leftFromRight[kCrossReach + offset] = 0.2f;  // left[t] ~ 0.2 right[t + offset]
        rightFromLeft[kCrossReach - offset] = 0.2f;  // right[t] ~ 0.2 left[t - offset]
        WallDeclicker declicker;
        declicker.Prepare(leftFromRight, rightFromLeft, 25.118864f);
        std::array<WallBuffer, 2> walls{};
        DeclickCounts counts;
        std::uint32_t seed = 7;
        const auto noise = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return kNoise * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f);
        };
        for (int hop = 0; hop < kHops; ++hop) {
            for (WallBuffer& wall : walls)
                std::copy(wall.samples.begin() + kHop, wall.samples.end(), wall.samples.begin());
            for (int i = 0; i < kHop; ++i) {
                const int n = hop * kHop + i;
                const auto pulseAt = [](int frame) {
                    return frame > 1000 && frame % kPulseSpacing == 0 ? kPulse : 0.0f;
                };
                walls[0].samples[kWallBuffer - kHop + i] = pulseAt(n) + noise();
                walls[1].samples[kWallBuffer - kHop + i] = pulseAt(n - offset) + noise();
            }
            declicker.RepairHop(walls, counts);
        }
        EXPECT_EQ(counts.ticks[0] + counts.ticks[1] + counts.scratches, 0) << "offset " << offset;
    }
}

// With the Vocal Remover the walls' difference is the sound kept, so it must
// not count as wall noise: Rejuvenator, which sets how far it would, then
// changes nothing, with the noise suppression at work.
TEST(EnhancedKernel, VocalRemoverKeepsTheDifferenceWhateverTheRejuvenator) {
    constexpr int kFrames = 40 * kBlockLength;
    Walls walls{std::vector<float>(kFrames), std::vector<float>(kFrames)};
    std::uint32_t seed = 1;
    for (int n = 0; n < kFrames; ++n) {
        seed = seed * 1664525u + 1013904223u;
        const float hiss = 1e-3f * (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f);
        const float shared = Programme(n);
        walls.left[n] = shared + (n > kFrames / 3 ? Programme(3 * n + 7) : 0.0f) + hiss;
        walls.right[n] = shared - hiss;
    }
    EnhancedControls vocal{.mode = ChannelFunction::VocalRemover};
    vocal.distortionAmount = 0.0f;
    const std::vector<float> none = Restore(walls, vocal);
    vocal.distortionAmount = 1.0f;
    EXPECT_EQ(Restore(walls, vocal), none);
}

// The Vocal Remover's alignment: a broadband programme s in both walls, the
// right one through a pickup mismatch m = 0.8 z^-1 (1 - 0.125 z^-1), and in
// the last third a signal u in the right wall alone. The output must be
// -u / (2 m): the programme cancelled, u through the inverse mismatch and
// nothing else (both walls go through the rumble filter first, so u does).
TEST(EnhancedKernel, VocalRemoverCancelsTheSharedProgrammeThroughAShortMismatch) {
    constexpr int kFrames = 80 * kBlockLength;
    constexpr int kOneWallFrom = 2 * kFrames / 3;
    Walls walls{std::vector<float>(kFrames), std::vector<float>(kFrames)};
    std::vector<double> oneWall(kFrames);
    const ToneFilters filters = DesignToneFilters(kRate, {.hissHz = 24000});
    CascadeState rumble;
    std::uint32_t seed = 7;
    float previous = 0.0f;
    float beforePrevious = 0.0f;
    for (int n = 0; n < kFrames; ++n) {
        seed = seed * 1664525u + 1013904223u;
        const float shared = 0.2f * (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f);
        const float u = n >= kOneWallFrom ? 0.5f * Programme(3 * n + 7) : 0.0f;
        walls.left[n] = shared;
        walls.right[n] = 0.8f * previous - 0.1f * beforePrevious + u;
        beforePrevious = previous;
        previous = shared;
        oneWall[n] = RunCascade(u, filters.rumbleCoeffs, rumble);
    }
    const std::vector<float> out = Restore(walls, {.clickAmount = 0.0f,
                                                   .noiseAmount = 0.0f,
                                                   .keepOriginalLevel = true,
                                                   .mode = ChannelFunction::VocalRemover});
    // 1 / m = 1.25 z (1 + 0.125 z^-1 + 0.125^2 z^-2 + ...).
    const auto expected = [&oneWall](int n) {
        double sum = 0.0;
        double weight = -0.5 * 1.25;
        for (int k = 0; k < 12 && n + 1 - k >= 0; ++k, weight *= 0.125)
            sum += weight * oneWall[n + 1 - k];
        return sum;
    };
    // The error's power against the programme's in (L - R) / 2 (a quarter of
    // its own, 0.2^2 / 12 / 4) and against u's: 50 dB under both (the
    // per-bin ratio of the walls this filter replaced left -14 and -2 dB).
    double sharedError = 0.0;
    double oneWallError = 0.0;
    double oneWallPower = 0.0;
    constexpr int kEdge = 2 * kFftSize;
    for (int n = kEdge; n < kFrames - kEdge; ++n) {
        const double error = out[n] - expected(n);
        (n < kOneWallFrom ? sharedError : oneWallError) += error * error;
        if (n >= kOneWallFrom) oneWallPower += expected(n) * expected(n);
    }
    const double sharedPower = 0.2 * 0.2 / 12.0 / 4.0 * (kOneWallFrom - kEdge);
    EXPECT_LT(10.0 * std::log10(sharedError / sharedPower), -50.0);
    EXPECT_LT(10.0 * std::log10(oneWallError / oneWallPower), -50.0);
}

// Independent noise of RMS kQuiet in both walls for a third of the file, a
// loud programme with ten times the noise for the rest: the profile is the
// quiet third's noise, sigma^2 N / 4 per bin for the mean of two walls of
// equal noise (sqrt-Hann frames: the window's energy is N / 2).
TEST(EnhancedAnalysis, NoiseProfileComesFromTheQuietestSegments) {
    constexpr int kSegment = kSegmentHops * kAnalysisHop;
    constexpr int kFrames = 3 * kQuietSegments * kSegment;
    constexpr double kQuiet = 1e-3;
    Walls walls{std::vector<float>(kFrames), std::vector<float>(kFrames)};
    unsigned seed = 12345;
    const auto noise = [&seed] {
        seed = seed * 1103515245u + 12345u;  // uniform, variance 1/3 x (2^15)^2 -> scaled to 1
        return (static_cast<double>((seed >> 16) & 0x7fff) / 16384.0 - 1.0) * std::sqrt(3.0);
    };
    for (int n = 0; n < kFrames; ++n) {
        const bool quiet = n < kFrames / 3;
        const double sigma = quiet ? kQuiet : 10.0 * kQuiet;
        const double programme = quiet ? 0.0 : Programme(n);
        walls.left[n] = static_cast<float>(programme + sigma * noise());
        walls.right[n] = static_cast<float>(programme + sigma * noise());
    }
    const ToneFilters filters = DesignToneFilters(kRate, {.hissHz = 24000});
    EnhancedAnalysis analysis;
    analysis.Prepare(filters.rumbleCoeffs, false);
    analysis.Add(walls.left, walls.right);
    const EnhancedFigures figures = analysis.Finish(kRate);
    EXPECT_EQ(figures.quietSegments, kQuietSegments);
    const double expected = kQuiet * kQuiet * kFftSize / 4.0;
    // Bins 1 to 16 kHz, clear of the rumble filter: within 3 dB of the quiet
    // noise (the least of 16 segment averages, bias-corrected), 20 dB under
    // the loud part's.
    std::vector<double> ratios;
    for (int k = 24; k < 372; ++k)
        ratios.push_back(figures.profile.noisePower[k] / expected);
    std::sort(ratios.begin(), ratios.end());
    const double median = ratios[ratios.size() / 2];
    EXPECT_GT(median, 0.5);
    EXPECT_LT(median, 2.0);
}

struct CombineCase {
    double noiseL;
    double noiseR;
    double gainOverBetterWallDb;  // noise of the better wall over the combination's
};

// Walls of equal programme S and independent noise NL, NR: the combination's
// noise against the better wall's. Equal noise: 10 log10(2) = 3.01 dB; 10 dB
// apart: 10 log10(11 / 10) = 0.41 dB, where the plain mean would lose
// 10 log10((1 + 10) / 4) = 4.4 dB against the better wall.
TEST(WallProfile, CombinationWeightsEachWallByTheInverseOfItsNoise) {
    constexpr std::array<CombineCase, 3> kCases{{
        {1.0, 1.0, 3.0103},
        {1.0, 10.0, 0.4139},
        {10.0, 1.0, 0.4139},
    }};
    for (const CombineCase& c : kCases) {
        WallSpectra whole;
        WallSpectra quiet;
        const double signal = 100.0;
        for (int k = 0; k < kFftBins; ++k) {
            whole.leftPower[k] = signal + c.noiseL;
            whole.rightPower[k] = signal + c.noiseR;
            whole.cross[k] = signal;
            quiet.leftPower[k] = c.noiseL;
            quiet.rightPower[k] = c.noiseR;
            quiet.cross[k] = 0.0;
        }
        whole.frames = quiet.frames = 1.0;
        const WallProfile profile = DeriveWallProfile(whole, quiet, kRate);
        for (const int k : {10, 200, 500}) {
            const double gl = std::abs(profile.gainL[k]);
            const double gr = std::abs(profile.gainR[k]);
            EXPECT_NEAR(gl + gr, 1.0, 1e-12);  // the programme passes unchanged
            const double noise = gl * gl * c.noiseL + gr * gr * c.noiseR;
            EXPECT_NEAR(10.0 * std::log10(std::min(c.noiseL, c.noiseR) / noise),
                        c.gainOverBetterWallDb, 1e-3)
                << c.noiseL << " " << c.noiseR;
            EXPECT_NEAR(profile.noisePower[k], noise, 1e-9 * noise);
        }
    }
}

struct MappingCase {
    EnhancedControls controls;
    float clickThreshold;
    double suppressionDb;
};

TEST(EnhancedParams, SlidersMapAsDocumented) {
    const std::array<MappingCase, 3> kCases{{
        {{.clickAmount = 0.0f, .noiseAmount = 0.0f}, 0.0f, 0.0},
        {{.clickAmount = 0.5f, .noiseAmount = 0.5f}, 25.118864f, 12.0},
        {{.clickAmount = 1.0f, .noiseAmount = 1.0f}, 6.3095737f, 24.0},
    }};
    for (const MappingCase& c : kCases) {
        const EnhancedParams p = DeriveEnhancedParams(c.controls, 0.0);
        EXPECT_FLOAT_EQ(p.clickThreshold, c.clickThreshold);
        EXPECT_NEAR(-20.0 * std::log10(p.gainFloor), c.suppressionDb, 1e-9);
    }
    // The level rule: the loudest segment to -20 dBFS, by at most 20 dB.
    EXPECT_DOUBLE_EQ(DeriveEnhancedParams({}, 0.05).levelGain, 2.0);
    EXPECT_DOUBLE_EQ(DeriveEnhancedParams({}, 1e-6).levelGain, 10.0);
    EXPECT_DOUBLE_EQ(DeriveEnhancedParams({.keepOriginalLevel = true}, 0.05).levelGain, 1.0);
}

}  // namespace
}  // namespace sonorel
