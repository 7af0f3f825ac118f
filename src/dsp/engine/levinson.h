#pragma once
// The body of SolveToeplitz (toeplitz.h), compiled twice: by toeplitz.cpp for
// the baseline instruction set and by toeplitz_wide.cpp with AVX2. It has
// internal linkage and calls no inline library function (no std::span, no
// std::array, no algorithms), so the two objects share no code, and the
// linker cannot hand the baseline path a function compiled for AVX2.
//
// One order step of the recursion reads the solution h and the predictor a
// at the same j, both against r backwards: they are stored side by side, so
// that both sums come from one pass over r and both updates from one pass
// over the predictor. The predictor is also kept reversed, updated in place
// (see below), instead of being copied and reversed at every order.
//
// Bit for bit the classic formulation: arrays are floats, every product and
// sum is in double, each sum has the four interleaved partial sums of
// DotProduct (sums.h) in the same order, and every update is rounded to float
// where it is stored. Nothing here lets the compiler reorder a sum, and the
// build forbids contracting a multiply and an add (-ffp-contract=off).

#include <cassert>

#include "engine/block_frame.h"
#include "engine/toeplitz.h"

namespace sonorel {

// h[j] and a[j] side by side.
struct LevinsonPair {
    float h;
    float a;
};

static inline bool LevinsonRecursion(const float* r, const float* b, float* h, int n) {
    assert(n >= 2 && n <= kEstimatorTaps);
    const double ceiling = kToeplitzCeiling;
    for (int i = 0; i < n; ++i)
        h[i] = 0.0f;
    if (r[0] <= kToeplitzFloor) return false;

    // The sums of order k run over r backwards (r[k + 1 - j] for j = 0..k):
    // a reversed copy, in double, keeps them contiguous and unconverted.
    double rReversed[kEstimatorTaps];
    for (int i = 0; i < n; ++i)
        rReversed[n - 1 - i] = r[i];
    LevinsonPair pairs[kEstimatorTaps];
    for (int i = 0; i < n; ++i)
        pairs[i] = {0.0f, 0.0f};
    // backward[j] = a[k - j]. The new predictor is a'[j] = a[j] + kappa a[k - j]
    // for j <= k and a'[k + 1] = kappa, so its reversal
    // a'[k + 1 - j] = a[k - j] + kappa a[j] lands exactly where a[k - j] was,
    // and kappa goes in front: `backward` starts one place lower at every order.
    float backwardStore[kEstimatorTaps];
    float* backward = backwardStore + (kEstimatorTaps - 1);

    double g = 1.0 / static_cast<double>(r[0]);
    pairs[0].a = static_cast<float>(-static_cast<double>(r[1]) * g);
    backward[0] = pairs[0].a;
    pairs[0].h = static_cast<float>(static_cast<double>(b[0]) * g);
    double eps = 1.0 - static_cast<double>(pairs[0].a) * pairs[0].a;
    bool solved = eps * ceiling > g;

    for (int k = 0; solved; ++k) {
        const double* rBackwards = rReversed + (n - 2 - k);
        g /= eps;
        // sum_j h[j] r[k + 1 - j] and sum_j a[j] r[k + 1 - j], j = 0..k.
        double hSums[4] = {0.0, 0.0, 0.0, 0.0};
        double aSums[4] = {0.0, 0.0, 0.0, 0.0};
        int j = 0;
        for (; j + 4 <= k + 1; j += 4) {
            for (int lane = 0; lane < 4; ++lane) {
                hSums[lane] += static_cast<double>(pairs[j + lane].h) * rBackwards[j + lane];
                aSums[lane] += static_cast<double>(pairs[j + lane].a) * rBackwards[j + lane];
            }
        }
        for (; j <= k; ++j) {
            hSums[0] += static_cast<double>(pairs[j].h) * rBackwards[j];
            aSums[0] += static_cast<double>(pairs[j].a) * rBackwards[j];
        }
        const double hSum = (hSums[0] + hSums[1]) + (hSums[2] + hSums[3]);
        const double aSum = (aSums[0] + aSums[1]) + (aSums[2] + aSums[3]);

        // Extend the solution by one order along the backward predictor.
        const double mu = (static_cast<double>(b[k + 1]) - hSum) * g;
        if (k == n - 2) {
            for (int i = 0; i <= k; ++i)
                pairs[i].h = static_cast<float>(static_cast<double>(pairs[i].h) + mu * backward[i]);
            pairs[k + 1].h = static_cast<float>(mu);
            break;
        }
        // And the predictor, in the same pass over both of its orientations.
        const double kappa = -(static_cast<double>(r[k + 2]) + aSum) * g;
        for (int i = 0; i <= k; ++i) {
            const double ahead = pairs[i].a;
            const double behind = backward[i];
            pairs[i].h = static_cast<float>(static_cast<double>(pairs[i].h) + mu * behind);
            pairs[i].a = static_cast<float>(ahead + kappa * behind);
            backward[i] = static_cast<float>(behind + kappa * ahead);
        }
        pairs[k + 1].h = static_cast<float>(mu);
        pairs[k + 1].a = static_cast<float>(kappa);
        --backward;
        backward[0] = pairs[k + 1].a;
        eps = 1.0 - kappa * kappa;
        solved = eps * ceiling > g;
    }
    for (int i = 0; i < n; ++i)
        h[i] = pairs[i].h;
    return solved;
}

}  // namespace sonorel
