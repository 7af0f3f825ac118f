// The Levinson solver: hand-solved systems, a large well-conditioned one, and
// every way it refuses.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/toeplitz.h"

namespace sonorel {
namespace {

// The solver stores its solution as floats: 1e-6 covers that rounding for
// solutions of order 1 from exactly representable data.
constexpr double kFloatSolution = 1e-6;

TEST(SolveToeplitz, TwoByTwo) {
    // [2 1; 1 2] h = [1 2]  =>  h = [0 1]
    const std::vector<float> r{2.0f, 1.0f};
    const std::vector<float> b{1.0f, 2.0f};
    std::vector<float> h(2, 9.0f);
    ASSERT_TRUE(SolveToeplitz(r, b, h));
    EXPECT_NEAR(h[0], 0.0, kFloatSolution);
    EXPECT_NEAR(h[1], 1.0, kFloatSolution);
}

TEST(SolveToeplitz, ThreeByThree) {
    // [4 2 1; 2 4 2; 1 2 4] h = [4 2 7]  =>  h = [1 -1 2]
    const std::vector<float> r{4.0f, 2.0f, 1.0f};
    const std::vector<float> b{4.0f, 2.0f, 7.0f};
    std::vector<float> h(3);
    ASSERT_TRUE(SolveToeplitz(r, b, h));
    EXPECT_NEAR(h[0], 1.0, kFloatSolution);
    EXPECT_NEAR(h[1], -1.0, kFloatSolution);
    EXPECT_NEAR(h[2], 2.0, kFloatSolution);
}

TEST(SolveToeplitz, FullOrderSystemHasASmallResidual) {
    // r[k] = 0.6^k (a first-order autoregression; condition number below 4)
    // and an arbitrary right-hand side.
    constexpr int n = 177;
    std::vector<float> r(n);
    std::vector<float> b(n);
    for (int k = 0; k < n; ++k) {
        r[k] = static_cast<float>(std::pow(0.6, k));
        b[k] = static_cast<float>(std::sin(0.3 * k) + 0.1 * (k % 7));
    }
    std::vector<float> h(n);
    ASSERT_TRUE(SolveToeplitz(r, b, h));
    double worst = 0.0;
    for (int i = 0; i < n; ++i) {
        double lhs = 0.0;
        for (int j = 0; j < n; ++j)
            lhs += double{h[j]} * r[std::abs(i - j)];
        worst = std::max(worst, std::abs(lhs - b[i]));
    }
    // Float storage of h and of the predictor (6e-8 relative) times the
    // small condition number and the size of b.
    EXPECT_LT(worst, 1e-5);
}

TEST(SolveToeplitz, ZeroLagAtOrBelowTwoToTheMinus127Fails) {
    const float floor = std::ldexp(1.0f, -127);  // 5.877472e-39, a float subnormal
    for (float r0 : {0.0f, floor / 2, floor, -1.0f}) {
        std::vector<float> r(177, 0.0f);
        r[0] = r0;
        const std::vector<float> b(177, 1.0f);
        std::vector<float> h(177, 7.0f);
        EXPECT_FALSE(SolveToeplitz(r, b, h)) << r0;
        for (float v : h)
            ASSERT_EQ(v, 0.0f);
    }
    // Just above the floor: the reciprocal 1/r0 is still below the ceiling,
    // and a diagonal system solves to h = b / r0.
    std::vector<float> r(177, 0.0f);
    r[0] = std::nextafter(floor, 1.0f);
    std::vector<float> b(177, 0.0f);
    b[5] = std::ldexp(1.0f, -130);
    std::vector<float> h(177, 7.0f);
    ASSERT_TRUE(SolveToeplitz(r, b, h));
    EXPECT_FLOAT_EQ(h[5], static_cast<float>(double{b[5]} / r[0]));
    EXPECT_EQ(h[0], 0.0f);
}

TEST(SolveToeplitz, UnitReflectionAtFirstOrderFailsAfterSolvingH0) {
    // r[1] = r[0]: a[0] = -1, eps = 0. h[0] = b[0] / r[0] was already set,
    // the unsolved rest is 0.
    const std::vector<float> r{2.0f, 2.0f, 0.5f};
    const std::vector<float> b{3.0f, 1.0f, 1.0f};
    std::vector<float> h(3, 7.0f);
    EXPECT_FALSE(SolveToeplitz(r, b, h));
    EXPECT_EQ(h[0], 1.5f);
    EXPECT_EQ(h[1], 0.0f);
    EXPECT_EQ(h[2], 0.0f);
}

TEST(SolveToeplitz, CeilingGuardFailsWithAPositiveErrorPower) {
    // eps = 1 - (r1 / r0)^2 is about 1.2e-7 > 0, but with r0 = 1e-32 the next
    // reciprocal error power g / eps (about 8e38) would pass the ceiling.
    std::vector<float> r{1e-32f, std::nextafter(1e-32f, 0.0f)};
    const std::vector<float> b{1e-32f, 0.0f};
    std::vector<float> h(2);
    const double ratio = double{r[1]} / r[0];
    ASSERT_GT(1.0 - ratio * ratio, 0.0);
    EXPECT_FALSE(SolveToeplitz(r, b, h));
    EXPECT_EQ(h[1], 0.0f);
    // The same correlations scaled to r0 = 1 stay below the ceiling.
    r = {1.0f, std::nextafter(1.0f, 0.0f)};
    EXPECT_TRUE(SolveToeplitz(r, std::vector<float>{1.0f, 0.0f}, h));
}

TEST(SolveToeplitz, NotPositiveDefiniteFailsInsideTheRecursion) {
    // r = [1 0.9 0 0]: order 1 is fine, order 2 needs a reflection of
    // magnitude 0.81 / 0.19 > 1. h[0..1] hold the 2 x 2 solution, the rest 0.
    const std::vector<float> r{1.0f, 0.9f, 0.0f, 0.0f};
    const std::vector<float> b{1.0f, 0.0f, 0.0f, 0.0f};
    std::vector<float> h(4, 7.0f);
    EXPECT_FALSE(SolveToeplitz(r, b, h));
    EXPECT_NEAR(h[0], 1.0 / 0.19, 1e-5);  // solution of size 5: float rounding
    EXPECT_NEAR(h[1], -0.9 / 0.19, 1e-5);
    EXPECT_EQ(h[2], 0.0f);
    EXPECT_EQ(h[3], 0.0f);
}

TEST(SolveToeplitz, WidePathMatchesTheBaselineBitForBit) {
    if (!HasWideSolver()) GTEST_SKIP() << "this processor has no wide path";
    // Correlations of a random walk with random bumps: well and badly
    // conditioned, some failing part way; every order the kernel can meet's
    // remainders modulo the vector width.
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>(seed >> 8) / double(1 << 24) - 0.5;
    };
    for (int n : {2, 3, 4, 5, 6, 7, 8, 9, 31, 64, 100, 175, 176, 177}) {
        for (double decay : {0.3, 0.9, 0.999, 1.0}) {
            std::vector<float> r(n);
            std::vector<float> b(n);
            for (int k = 0; k < n; ++k) {
                r[k] = static_cast<float>(std::pow(decay, k) + 0.05 * next());
                b[k] = static_cast<float>(next());
            }
            r[0] = std::max(r[0], 1.0f);
            std::vector<float> baseline(n, 7.0f);
            std::vector<float> wide(n, 7.0f);
            const bool baselineSolved =
                SolveToeplitzBaseline(r.data(), b.data(), baseline.data(), n);
            const bool wideSolved = SolveToeplitzWide(r.data(), b.data(), wide.data(), n);
            EXPECT_EQ(baselineSolved, wideSolved) << n << " " << decay;
            EXPECT_EQ(std::memcmp(baseline.data(), wide.data(), sizeof(float) * n), 0)
                << n << " " << decay;
        }
    }
}

}  // namespace
}  // namespace sonorel
