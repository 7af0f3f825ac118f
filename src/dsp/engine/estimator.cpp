#include "engine/estimator.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/fft_correlation.h"
#include "engine/kernel_tables.h"
#include "engine/sums.h"
#include "engine/toeplitz.h"

namespace sonorel {

void WindowSegment(std::span<const float, kAnalysisLength> segment,
                   std::span<float, kAnalysisLength> out) {
    const auto& window = GetKernelTables().AnalysisWindow;
    // 1/2885 as the single-precision value 0.00034662045.
    const double mean =
        Sum(segment.data(), segment.size()) * static_cast<double>(1.0f / kAnalysisLength);
    constexpr int centre = kWindowHalf;  // 1442, window value 1
    for (int i = 0; i < centre; ++i) {
        out[i] = static_cast<float>((segment[i] - mean) * window[i]);
    }
    out[centre] = static_cast<float>(segment[centre] - mean);
    // The second half mirrors the first: w[i] = W[2884 - i].
    for (int i = centre + 1; i < kAnalysisLength; ++i) {
        out[i] = static_cast<float>((segment[i] - mean) * window[kAnalysisLength - 1 - i]);
    }
}

double RegularisedZeroLag(std::span<const float, kEstimatorTaps> r, float rejuv, float nf) {
    const double energy = DotProduct(r.data(), r.data(), r.size());
    const double r0 = r[0];
    const double floor = nf;
    return std::sqrt(r0 * r0 + static_cast<double>(rejuv) * energy + floor * floor);
}

bool EstimateChannel(std::span<const float, kAnalysisLength> target,
                     std::span<const float, kAnalysisLength> input, float nf, float rejuv,
                     ChannelFunction mode, std::span<float, kEstimatorTaps> coefficients,
                     std::span<float, kEstimateSpan> out) {
    std::array<float, kAnalysisLength> windowedTarget;
    std::array<float, kAnalysisLength> windowedInput;
    WindowSegment(target, windowedTarget);
    WindowSegment(input, windowedInput);

    std::array<float, kEstimatorTaps> r;
    std::array<float, kEstimatorTaps> b;
    CorrelateSegments(windowedTarget, windowedInput, r, b);

    r[0] = static_cast<float>(RegularisedZeroLag(r, rejuv, nf));

    std::array<float, kEstimatorTaps> h;
    const bool solved = SolveToeplitz(r, b, h) &&
                        std::all_of(h.begin(), h.end(), [](float v) { return std::isfinite(v); });
    // A failed solve keeps the last block's coefficients (zero at the start).
    if (solved) std::copy(h.begin(), h.end(), coefficients.begin());

    std::array<double, kEstimateSpan> sums;
    FilterSegment(
        coefficients,
        std::span<const float, kFilteredLength>(input.data() + kEstimateLead, kFilteredLength),
        sums);
    const bool vocalRemover = mode == ChannelFunction::VocalRemover;
    for (int i = 0; i < kEstimateSpan; ++i) {
        const double estimate =
            vocalRemover ? sums[i] - static_cast<double>(target[kEstimateLead + i]) : sums[i];
        out[i] = static_cast<float>(estimate);
    }
    return solved;
}

}  // namespace sonorel
