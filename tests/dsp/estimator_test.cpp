// The cross-channel estimator: window, regularisation, the FFT correlations
// and filtering against direct summation, and whole estimations.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "engine/fft_correlation.h"
#include "engine/kernel_tables.h"
#include "estimator_reference.h"
#include "settings/kernel_inputs.h"

namespace sonorel {
namespace {

using test::Estimate;
using test::Segment;
using test::Taps;

TEST(AnalysisWindow, IsTheFourTermBlackmanNuttallWindow) {
    const auto& w = GetKernelTables().AnalysisWindow;
    for (int i = 0; i < kWindowHalf; ++i) {
        const double x = 2.0 * std::numbers::pi * i / 2884.0;
        const double nuttall = 0.3635819 - 0.4891775 * std::cos(x) + 0.1365995 * std::cos(2 * x) -
                               0.0106411 * std::cos(3 * x);
        // Float storage (6e-8) plus the 7-digit rounding of the constants.
        ASSERT_NEAR(w[i], nuttall, 2e-7) << i;
    }
    EXPECT_NEAR(w[0], 0.0003628, 1e-7);
    EXPECT_NEAR(w[kWindowHalf - 1], 1.0, 1e-5);  // next to the centre, value 1
}

TEST(WindowSegment, RemovesTheMeanAndAppliesTheSymmetricWindow) {
    Segment s{};
    for (int i = 0; i < kAnalysisLength; ++i)
        s[i] = 0.25f + 0.5f * std::sin(0.01f * i);
    Segment out{};
    WindowSegment(s, out);
    double sum = 0.0;
    for (float v : s)
        sum += v;
    const double mean = sum * double{0.00034662045f};
    const auto& w = GetKernelTables().AnalysisWindow;
    EXPECT_EQ(out[kWindowHalf], static_cast<float>(s[kWindowHalf] - mean));  // centre weight 1
    for (int i : {0, 1, 700, 1441}) {
        EXPECT_EQ(out[i], static_cast<float>((s[i] - mean) * w[i])) << i;
        EXPECT_EQ(out[2884 - i], static_cast<float>((s[2884 - i] - mean) * w[i])) << i;
    }
    // A constant leaves only the rounding of 1/2885 to float (about 6e-10
    // of the constant): practically nothing.
    Segment constant{};
    constant.fill(0.5f);
    WindowSegment(constant, out);
    for (float v : out)
        ASSERT_LT(std::abs(v), 1e-8f);
}

TEST(RegularisedZeroLag, AddsTheRelativeAndNoiseFloorTerms) {
    Taps r{};
    r[0] = 3.0f;
    r[1] = 4.0f;
    EXPECT_EQ(RegularisedZeroLag(r, 0.0f, 0.0f), 3.0);  // both terms off: r0 unchanged
    EXPECT_DOUBLE_EQ(RegularisedZeroLag(r, 1.0f, 0.0f), std::sqrt(9.0 + 25.0));
    EXPECT_DOUBLE_EQ(RegularisedZeroLag(r, 0.0f, 2.0f), std::sqrt(13.0));
    EXPECT_EQ(RegularisedZeroLag(r, 0.0f, -2.0f), RegularisedZeroLag(r, 0.0f, 2.0f));
    EXPECT_DOUBLE_EQ(RegularisedZeroLag(r, 0.5f, 2.0f), std::sqrt(9.0 + 12.5 + 4.0));
}

// Segments of several kinds: the target is a delayed, filtered copy of the
// input plus its own noise, so that the estimator has something to find.
struct SegmentPair {
    Segment target{};
    Segment input{};
};

SegmentPair MakePair(int kind, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    SegmentPair pair;
    Segment& q = pair.input;
    for (int n = 0; n < kAnalysisLength; ++n) {
        switch (kind) {
            case 0:  // white noise
                q[n] = 0.3f * gauss(rng);
                break;
            case 1:  // two tones and weak noise: near-singular without regularisation
                q[n] = 0.5f * std::sin(0.05f * n + seed) + 0.3f * std::sin(0.4f * n) +
                       0.005f * gauss(rng);
                break;
            case 2:  // two pure tones: the solve fails without regularisation
                q[n] = 0.5f * std::sin(0.05f * n + seed) + 0.3f * std::sin(0.4f * n);
                break;
            case 3:  // silence, then noise
                q[n] = n < 1500 ? 0.0f : 0.2f * gauss(rng);
                break;
            case 4:  // quiet, with an offset
                q[n] = 0.01f + 1e-4f * gauss(rng);
                break;
            default:  // loud, with sparse spikes
                q[n] = 0.8f * gauss(rng) + (n % 611 == 0 ? 5.0f : 0.0f);
                break;
        }
    }
    for (int n = 0; n < kAnalysisLength; ++n) {
        pair.target[n] = (n >= 3 ? 0.7f * q[n - 3] : 0.0f) + 0.2f * q[n] + 0.05f * gauss(rng);
    }
    return pair;
}

constexpr int kKinds = 6;

TEST(FftCorrelation, AgreesWithDirectSumsFarInsideSinglePrecision) {
    for (int kind = 0; kind < kKinds; ++kind) {
        const SegmentPair pair = MakePair(kind, 100 + kind);
        Segment wp{};
        Segment wq{};
        WindowSegment(pair.target, wp);
        WindowSegment(pair.input, wq);
        const test::Correlations direct = test::DirectCorrelations(wp, wq);
        std::array<double, kEstimatorTaps> r{};
        std::array<double, kEstimatorTaps> b{};
        CorrelateByFft(wp, wq, r, b);
        double targetEnergy = 0.0;
        for (float v : wp)
            targetEnergy += double{v} * v;
        // |sum x y| <= sqrt(Ex Ey): errors are measured against that scale.
        // FFT and direct rounding are about 1e-15 of it; 1e-12 is the bound
        // the rounding guard assumes, and far inside float's 6e-8.
        const double crossScale = std::sqrt(targetEnergy * direct.r[0]);
        for (int k = 0; k < kEstimatorTaps; ++k) {
            ASSERT_NEAR(r[k], direct.r[k], 1e-12 * direct.r[0]) << kind << " lag " << k;
            ASSERT_NEAR(b[k], direct.b[k], 1e-12 * crossScale) << kind << " lag " << k;
        }
    }
}

TEST(FftCorrelation, FloatCorrelationsAreExactlyThoseOfDirectSums) {
    for (int kind = 0; kind < kKinds; ++kind) {
        for (unsigned seed = 0; seed < 4; ++seed) {
            const SegmentPair pair = MakePair(kind, seed);
            Segment wp{};
            Segment wq{};
            WindowSegment(pair.target, wp);
            WindowSegment(pair.input, wq);
            const test::Correlations direct = test::DirectCorrelations(wp, wq);
            Taps r{};
            Taps b{};
            CorrelateSegments(wp, wq, r, b);
            for (int k = 0; k < kEstimatorTaps; ++k) {
                ASSERT_EQ(r[k], static_cast<float>(direct.r[k])) << kind << "/" << seed << " " << k;
                ASSERT_EQ(b[k], static_cast<float>(direct.b[k])) << kind << "/" << seed << " " << k;
            }
        }
    }
}

TEST(FftCorrelation, RoundingGuardKeepsExactZeros) {
    // Input nonzero only at even n, target only at odd n: every odd lag of r
    // and every even lag of b is exactly 0 by direct summation, while an FFT
    // leaves rounding dust there that would round to a nonzero float.
    Segment wp{};
    Segment wq{};
    for (int n = 0; n < kAnalysisLength; ++n) {
        const float v = std::sin(0.37f * n) + 0.5f * std::cos(1.3f * n);
        (n % 2 == 0 ? wq : wp)[n] = v;
    }
    std::array<double, kEstimatorTaps> fftR{};
    std::array<double, kEstimatorTaps> fftB{};
    CorrelateByFft(wp, wq, fftR, fftB);
    Taps r{};
    Taps b{};
    CorrelateSegments(wp, wq, r, b);
    int dust = 0;
    for (int k = 0; k < kEstimatorTaps; ++k) {
        if (k % 2 == 1) {
            dust += fftR[k] != 0.0;
            EXPECT_EQ(r[k], 0.0f) << k;
        } else {
            dust += fftB[k] != 0.0;
            EXPECT_EQ(b[k], 0.0f) << k;
        }
    }
    EXPECT_GT(dust, 0);  // the guard had something to correct
}

TEST(FftFiltering, AgreesWithDirectSumsAndKeepsSilenceExact) {
    std::mt19937 rng(9);
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    Taps c{};
    double coefficientSum = 0.0;
    for (float& v : c) {
        v = 0.2f * gauss(rng);
        coefficientSum += std::abs(v);
    }
    std::array<float, kFilteredLength> x{};
    for (int n = 0; n < kFilteredLength; ++n) {
        // Noise with a digital-silence gap and a silent end.
        const bool silent = (n >= 600 && n < 900) || n >= 1800;
        x[n] = silent ? 0.0f : gauss(rng);
    }
    std::array<double, kEstimateSpan> fast{};
    FilterSegment(c, x, fast);
    const auto direct = test::DirectFilter(c, x);
    double peak = 0.0;
    for (float v : x)
        peak = std::max(peak, double{std::abs(v)});
    for (int i = 0; i < kEstimateSpan; ++i) {
        // About 1e-15 of the largest possible output, sum |c| x max |x|.
        ASSERT_NEAR(fast[i], direct[i], 1e-12 * coefficientSum * peak) << i;
        const bool allSilent = (i >= 600 && i + 176 < 900) || i >= 1800;
        if (allSilent) {
            ASSERT_EQ(fast[i], 0.0) << i;
        }
    }
}

constexpr ChannelFunction kBothFunctions[] = {ChannelFunction::MonoEnhancer,
                                              ChannelFunction::VocalRemover};

// Both estimations start from the same coefficient store.
struct Outcome {
    Taps coefficients{};
    Estimate out{};
};

Outcome Fast(const SegmentPair& p, float nf, float rejuv, ChannelFunction mode, const Taps& start) {
    Outcome o{start, {}};
    EstimateChannel(p.target, p.input, nf, rejuv, mode, o.coefficients, o.out);
    return o;
}

Outcome Reference(const SegmentPair& p, float nf, float rejuv, ChannelFunction mode,
                  const Taps& start) {
    Outcome o{start, {}};
    test::ReferenceEstimate(p.target, p.input, nf, rejuv, mode, o.coefficients, o.out);
    return o;
}

TEST(EstimateChannel, AgreesWithTheDirectReferenceOnVariedSignals) {
    Taps start{};
    start[88] = 0.5f;  // a previous block's filter, kept where a solve fails
    int failures = 0;
    for (int kind = 0; kind < kKinds; ++kind) {
        for (unsigned seed = 0; seed < 2; ++seed) {
            const SegmentPair pair = MakePair(kind, seed);
            for (float rejuv : {0.0f, RelativeRegularisation(0.5f), RelativeRegularisation(1.0f)}) {
                for (float nf : {0.0f, 1e-3f}) {
                    for (ChannelFunction mode : kBothFunctions) {
                        const Outcome fast = Fast(pair, nf, rejuv, mode, start);
                        const Outcome ref = Reference(pair, nf, rejuv, mode, start);
                        // Identical solver inputs give identical coefficients,
                        // even for near-singular and failing solves.
                        ASSERT_EQ(fast.coefficients, ref.coefficients)
                            << kind << "/" << seed << " rejuv " << rejuv << " nf " << nf;
                        failures += fast.coefficients == start;
                        double peak = 0.0;
                        for (float v : ref.out)
                            peak = std::max(peak, double{std::abs(v)});
                        for (int i = 0; i < kEstimateSpan; ++i) {
                            // Only the filtering differs: FFT against direct
                            // rounding, then one float rounding step.
                            ASSERT_NEAR(fast.out[i], ref.out[i], 2e-7 * peak) << kind << " " << i;
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(failures, 0);  // failing solves were among the cases
}

TEST(EstimateChannel, SilentInputAndNoNoiseFloorFailsAndGivesZero) {
    const SegmentPair silent{};
    for (ChannelFunction mode : kBothFunctions) {
        const Outcome o = Fast(silent, 0.0f, 0.25f, mode, Taps{});
        EXPECT_EQ(o.coefficients, Taps{});
        for (float v : o.out)
            ASSERT_EQ(v, 0.0f);
    }
}

TEST(EstimateChannel, SilentInputWithANoiseFloorSolvesToZeroCoefficients) {
    SegmentPair pair;
    for (int n = 0; n < kAnalysisLength; ++n)
        pair.target[n] = std::sin(0.1f * n);
    Taps start{};
    start[10] = 1.0f;
    // r[0] = |nf| and b = 0: a successful solve with every coefficient 0.
    const Outcome mono = Fast(pair, 1e-3f, 0.0f, ChannelFunction::MonoEnhancer, start);
    EXPECT_EQ(mono.coefficients, Taps{});
    for (float v : mono.out)
        ASSERT_EQ(v, 0.0f);
    const Outcome vocal = Fast(pair, -1e-3f, 0.0f, ChannelFunction::VocalRemover, start);
    EXPECT_EQ(vocal.coefficients, Taps{});
    for (int i = 0; i < kEstimateSpan; ++i)
        ASSERT_EQ(vocal.out[i], -pair.target[kEstimateLead + i]);
}

TEST(EstimateChannel, FailedSolveKeepsThePreviousCoefficients) {
    // An input so quiet that r[0] falls below 2^-127: the solve fails and
    // the block is filtered with the coefficients it came with.
    SegmentPair pair;
    for (int n = 0; n < kAnalysisLength; ++n) {
        pair.input[n] = 1e-24f * std::sin(0.3f * n);
        pair.target[n] = std::sin(0.2f * n);
    }
    Taps start{};
    start[0] = 1.0f;
    start[3] = -2.0f;
    const Outcome o = Fast(pair, 0.0f, 0.0f, ChannelFunction::MonoEnhancer, start);
    EXPECT_EQ(o.coefficients, start);
    for (int i = 0; i < kEstimateSpan; ++i) {
        const double expected =
            double{pair.input[kEstimateLead + i]} - 2.0 * pair.input[kEstimateLead + i + 3];
        ASSERT_NEAR(o.out[i], expected, 1e-30) << i;  // float subnormal range
    }
    // In the very first block the store is zero, so Mono Enhancer gives 0.
    const Outcome first = Fast(pair, 0.0f, 0.0f, ChannelFunction::MonoEnhancer, Taps{});
    for (float v : first.out)
        ASSERT_EQ(v, 0.0f);
}

TEST(EstimateChannel, SolvedCoefficientsServeTheSameBlock) {
    // Target = input advanced by 88 samples: the filter is essentially a unit
    // tap at 88, and this block's output already uses it.
    std::mt19937 rng(2);
    std::normal_distribution<float> gauss(0.0f, 0.3f);
    std::array<float, kAnalysisLength + 88> x{};
    for (float& v : x)
        v = gauss(rng);
    SegmentPair pair;
    for (int n = 0; n < kAnalysisLength; ++n) {
        pair.input[n] = x[n];
        pair.target[n] = x[n + 88];
    }
    const Outcome o = Fast(pair, 0.0f, 0.0f, ChannelFunction::MonoEnhancer, Taps{});
    EXPECT_NEAR(o.coefficients[88], 1.0, 0.1);  // the segments' windows differ slightly
    double error = 0.0;
    double energy = 0.0;
    for (int i = 0; i < kEstimateSpan; ++i) {
        error += std::pow(o.out[i] - pair.target[kEstimateLead + i], 2);
        energy += std::pow(pair.target[kEstimateLead + i], 2);
    }
    EXPECT_LT(error, 0.01 * energy);  // better than -20 dB
}

}  // namespace
}  // namespace sonorel
