#pragma once
// The estimator by direct double-precision summation: the reference that the
// FFT evaluation must agree with to single precision.

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

#include "engine/estimator.h"
#include "engine/toeplitz.h"

namespace sonorel::test {

using Segment = std::array<float, kAnalysisLength>;
using Taps = std::array<float, kEstimatorTaps>;
using Estimate = std::array<float, kEstimateSpan>;

struct Correlations {
    std::array<double, kEstimatorTaps> r{};
    std::array<double, kEstimatorTaps> b{};
};

inline Correlations DirectCorrelations(const Segment& wp, const Segment& wq) {
    Correlations c;
    for (int k = 0; k < kEstimatorTaps; ++k) {
        for (int n = 0; n + k < kAnalysisLength; ++n) {
            c.r[k] += static_cast<double>(wq[n]) * wq[n + k];
            c.b[k] += static_cast<double>(wp[n]) * wq[n + k];
        }
    }
    return c;
}

// out[i] = sum_j c[j] x[i + j]
inline std::array<double, kEstimateSpan> DirectFilter(std::span<const float> c,
                                                      std::span<const float> x) {
    std::array<double, kEstimateSpan> out{};
    for (int i = 0; i < kEstimateSpan; ++i) {
        for (int j = 0; j < kEstimatorTaps; ++j)
            out[i] += static_cast<double>(c[j]) * x[i + j];
    }
    return out;
}

// EstimateChannel with every sum direct.
inline void ReferenceEstimate(const Segment& p, const Segment& q, float nf, float rejuv,
                              ChannelFunction mode, Taps& coefficients, Estimate& out) {
    Segment wp{};
    Segment wq{};
    WindowSegment(p, wp);
    WindowSegment(q, wq);
    const Correlations sums = DirectCorrelations(wp, wq);
    Taps r{};
    Taps b{};
    std::copy(sums.r.begin(), sums.r.end(), r.begin());
    std::copy(sums.b.begin(), sums.b.end(), b.begin());
    r[0] = static_cast<float>(RegularisedZeroLag(r, rejuv, nf));
    Taps h{};
    if (SolveToeplitz(r, b, h) &&
        std::all_of(h.begin(), h.end(), [](float v) { return std::isfinite(v); })) {
        coefficients = h;
    }
    const auto y = DirectFilter(coefficients, std::span<const float>(q).subspan(kEstimateLead));
    for (int i = 0; i < kEstimateSpan; ++i) {
        out[i] = static_cast<float>(
            mode == ChannelFunction::VocalRemover ? y[i] - p[kEstimateLead + i] : y[i]);
    }
}

}  // namespace sonorel::test
