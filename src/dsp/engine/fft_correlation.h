#pragma once
// The estimator's two heavy sums, computed by FFT in double precision.
//
// Correlations: r[k] = sum_n WQ[n] WQ[n + k] and b[k] = sum_n WP[n] WQ[n + k]
// for k = 0..176 over two windowed 2885-sample segments. Direct summation
// costs 2 x 177 x ~2800 multiply-adds; as IFFT(conj(X) Y) of zero-padded
// 3072-point transforms (3072 >= 2885 + 176, so no circular wrap reaches the
// lags we keep) it costs four real FFTs.
//
// Filtering: out[i] = sum_j c[j] x[i + j] for i = 0..1764 over 1941 input
// samples, the same correlation with 2048-point transforms. Where the 177
// inputs of an output are all exactly zero the output is exactly zero, as a
// direct sum would give (an FFT would leave rounding dust of order 1e-16 of
// the segment's peak there), so digital silence stays digital silence.
//
// Results agree with direct double summation to about 1e-15 of the largest
// term, far inside single precision. FFTW plans are made once per process
// with FFTW_ESTIMATE (deterministic: FFTW_MEASURE could pick different
// algorithms, and so different rounding, from run to run) and run through the
// new-array execute functions on the caller's stack buffers, which is
// thread-safe and allocates nothing.

#include <span>

#include "engine/block_frame.h"

namespace sonorel {

inline constexpr int kFilteredLength = kEstimateSpan + kEstimatorTaps - 1;  // 1941 inputs

// Creates the FFT plans if they do not exist yet. Allocates; call it during
// setup (RestorationKernel::Prepare does) so that the first block does not.
void PrepareFft();

// r[k] = sum_n WQ[n] WQ[n + k] and b[k] = sum_n WP[n] WQ[n + k], k = 0..176,
// rounded to float exactly as the direct double sums would be.
void CorrelateSegments(std::span<const float, kAnalysisLength> windowedTarget,
                       std::span<const float, kAnalysisLength> windowedInput,
                       std::span<float, kEstimatorTaps> autoCorrelation,
                       std::span<float, kEstimatorTaps> crossCorrelation);

// The same sums by FFT alone, in double.
void CorrelateByFft(std::span<const float, kAnalysisLength> windowedTarget,
                    std::span<const float, kAnalysisLength> windowedInput,
                    std::span<double, kEstimatorTaps> autoCorrelation,
                    std::span<double, kEstimatorTaps> crossCorrelation);

// sum_{n = 0}^{2884 - lag} x[n] y[n + lag], one double accumulator in n order.
double DirectLagSum(std::span<const float, kAnalysisLength> x,
                    std::span<const float, kAnalysisLength> y, int lag);

void FilterSegment(std::span<const float, kEstimatorTaps> coefficients,
                   std::span<const float, kFilteredLength> input,
                   std::span<double, kEstimateSpan> out);

}  // namespace sonorel
