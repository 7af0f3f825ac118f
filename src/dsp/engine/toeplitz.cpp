#include "engine/toeplitz.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <utility>

#include "engine/kernel_state.h"
#include "engine/sums.h"

namespace sonorel {
namespace {

// x[j] = x[j] + scale y[j], in double, stored as float.
void AddScaled(float* x, double scale, const float* y, int count) {
    for (int j = 0; j < count; ++j) {
        x[j] = static_cast<float>(static_cast<double>(x[j]) + scale * y[j]);
    }
}

}  // namespace

bool SolveToeplitz(std::span<const float> r, std::span<const float> b, std::span<float> h) {
    const int n = static_cast<int>(h.size());
    assert(n >= 2 && n <= kEstimatorTaps);
    assert(static_cast<int>(r.size()) >= n && static_cast<int>(b.size()) >= n);
    const double ceiling = kToeplitzCeiling;

    std::fill(h.begin(), h.end(), 0.0f);
    if (r[0] <= kToeplitzFloor) return false;

    // The recursion's sums run over r backwards (r[k + 1 - j] for j = 0..k)
    // and over the predictor backwards (a[k - j]); reversed copies keep every
    // loop contiguous. rReversed[n - 1 - i] = r[i].
    std::array<float, kEstimatorTaps> rReversed;
    std::reverse_copy(r.begin(), r.begin() + n, rReversed.begin());
    // The predictor a[0..k] in two buffers used alternately, and reversed.
    std::array<float, kEstimatorTaps> bufferA;
    std::array<float, kEstimatorTaps> bufferB;
    std::array<float, kEstimatorTaps> aReversed;
    float* a = bufferA.data();
    float* next = bufferB.data();

    double g = 1.0 / static_cast<double>(r[0]);
    a[0] = static_cast<float>(-static_cast<double>(r[1]) * g);
    aReversed[0] = a[0];
    h[0] = static_cast<float>(static_cast<double>(b[0]) * g);
    double eps = 1.0 - static_cast<double>(a[0]) * a[0];
    if (!(eps * ceiling > g)) return false;

    for (int k = 0;; ++k) {
        // r[k + 1 - j] for j = 0..k, contiguous.
        const float* rBackwards = rReversed.data() + (n - 2 - k);
        g /= eps;
        // Extend the solution by one order along the backward predictor.
        const double err = static_cast<double>(b[k + 1]) - DotProduct(h.data(), rBackwards, k + 1);
        const double mu = err * g;
        AddScaled(h.data(), mu, aReversed.data(), k + 1);
        h[k + 1] = static_cast<float>(mu);
        if (k == n - 2) return true;

        // Extend the predictor by one order.
        const double acc = static_cast<double>(r[k + 2]) + DotProduct(a, rBackwards, k + 1);
        const double kappa = -acc * g;
        std::copy(a, a + k + 1, next);
        AddScaled(next, kappa, aReversed.data(), k + 1);
        next[k + 1] = static_cast<float>(kappa);
        std::swap(a, next);
        std::reverse_copy(a, a + k + 2, aReversed.begin());
        eps = 1.0 - kappa * kappa;
        if (!(eps * ceiling > g)) return false;
    }
}

}  // namespace sonorel
