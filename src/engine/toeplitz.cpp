#include "engine/toeplitz.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <utility>

#include "engine/kernel_state.h"

namespace sonorel {
namespace {

// sum_{j=0}^{count-1} x[j] * y[-j]: y runs backwards from its start. Four
// partial sums break the add latency chain.
double DotReversed(const float* x, const float* y, int count) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    int j = 0;
    for (; j + 4 <= count; j += 4) {
        s0 += static_cast<double>(x[j]) * y[-j];
        s1 += static_cast<double>(x[j + 1]) * y[-j - 1];
        s2 += static_cast<double>(x[j + 2]) * y[-j - 2];
        s3 += static_cast<double>(x[j + 3]) * y[-j - 3];
    }
    for (; j < count; ++j)
        s0 += static_cast<double>(x[j]) * y[-j];
    return (s0 + s1) + (s2 + s3);
}

}  // namespace

bool SolveToeplitz(std::span<const float> r, std::span<const float> b, std::span<float> h) {
    const int n = static_cast<int>(h.size());
    assert(n >= 2 && n <= kEstimatorTaps);
    assert(static_cast<int>(r.size()) >= n && static_cast<int>(b.size()) >= n);
    const double ceiling = kToeplitzCeiling;

    std::fill(h.begin(), h.end(), 0.0f);
    if (r[0] <= kToeplitzFloor) return false;

    // Two predictor buffers used alternately.
    std::array<float, kEstimatorTaps> bufferA;
    std::array<float, kEstimatorTaps> bufferB;
    float* a = bufferA.data();
    float* next = bufferB.data();

    double g = 1.0 / static_cast<double>(r[0]);
    a[0] = static_cast<float>(-static_cast<double>(r[1]) * g);
    h[0] = static_cast<float>(static_cast<double>(b[0]) * g);
    double eps = 1.0 - static_cast<double>(a[0]) * a[0];
    if (!(eps * ceiling > g)) return false;

    for (int k = 0;; ++k) {
        g /= eps;
        // Extend the solution by one order along the backward predictor.
        const double err = static_cast<double>(b[k + 1]) - DotReversed(h.data(), &r[k + 1], k + 1);
        const double mu = err * g;
        for (int j = 0; j <= k; ++j) {
            h[j] = static_cast<float>(static_cast<double>(h[j]) + mu * a[k - j]);
        }
        h[k + 1] = static_cast<float>(mu);
        if (k == n - 2) return true;

        // Extend the predictor by one order.
        const double acc = static_cast<double>(r[k + 2]) + DotReversed(a, &r[k + 1], k + 1);
        const double kappa = -acc * g;
        for (int j = 0; j <= k; ++j) {
            next[j] = static_cast<float>(static_cast<double>(a[j]) + kappa * a[k - j]);
        }
        next[k + 1] = static_cast<float>(kappa);
        std::swap(a, next);
        eps = 1.0 - kappa * kappa;
        if (!(eps * ceiling > g)) return false;
    }
}

}  // namespace sonorel
