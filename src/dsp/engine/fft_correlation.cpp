#include "engine/fft_correlation.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>

#include "engine/fft_planner.h"
#include "engine/sums.h"

namespace sonorel {
namespace {

constexpr int kCorrelationFft = 3072;  // 2^10 x 3 >= 2885 + 176
constexpr int kFilterFft = 2048;       // >= 1941
// FFTW needs the new arrays aligned as the planning arrays were; fftw_malloc
// aligns to at most 64 bytes, and so do these buffers.
constexpr std::size_t kAlign = 64;

template <int N>
struct alignas(kAlign) RealBuffer {
    std::array<double, N> v;
};
template <int N>
struct alignas(kAlign) SpectrumBuffer {
    std::array<std::complex<double>, N / 2 + 1> v;  // layout-compatible with fftw_complex
    fftw_complex* fftw() { return reinterpret_cast<fftw_complex*>(v.data()); }
};

class Plans {
  public:
    Plans()
        : correlationForward(MakeForward(kCorrelationFft)),
          correlationInverse(MakeInverse(kCorrelationFft)),
          filterForward(MakeForward(kFilterFft)),
          filterInverse(MakeInverse(kFilterFft)) {}
    ~Plans() {
        const std::lock_guard lock(FftPlannerLock());
        fftw_destroy_plan(correlationForward);
        fftw_destroy_plan(correlationInverse);
        fftw_destroy_plan(filterForward);
        fftw_destroy_plan(filterInverse);
    }
    Plans(const Plans&) = delete;
    Plans& operator=(const Plans&) = delete;

    const fftw_plan correlationForward;
    const fftw_plan correlationInverse;
    const fftw_plan filterForward;
    const fftw_plan filterInverse;

  private:
    // Planning arrays, used only to tell FFTW sizes and alignment.
    static fftw_plan MakeForward(int n) {
        const std::lock_guard lock(FftPlannerLock());
        double* in = fftw_alloc_real(n);
        fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
        fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
        fftw_free(out);
        fftw_free(in);
        return plan;
    }
    static fftw_plan MakeInverse(int n) {
        const std::lock_guard lock(FftPlannerLock());
        fftw_complex* in = fftw_alloc_complex(n / 2 + 1);
        double* out = fftw_alloc_real(n);
        fftw_plan plan = fftw_plan_dft_c2r_1d(n, in, out, FFTW_ESTIMATE);
        fftw_free(out);
        fftw_free(in);
        return plan;
    }
};

// Built exactly once, under the initialisation lock of the language; the
// planner calls inside take the planner lock, which other plans share.
const Plans& GetPlans() {
    static const Plans plans;
    return plans;
}

}  // namespace

void PrepareFft() {
    GetPlans();
}

void CorrelateByFft(std::span<const float, kAnalysisLength> windowedTarget,
                    std::span<const float, kAnalysisLength> windowedInput,
                    std::span<double, kEstimatorTaps> autoCorrelation,
                    std::span<double, kEstimatorTaps> crossCorrelation) {
    const Plans& plans = GetPlans();
    RealBuffer<kCorrelationFft> time;
    SpectrumBuffer<kCorrelationFft> target;
    SpectrumBuffer<kCorrelationFft> input;

    std::copy(windowedTarget.begin(), windowedTarget.end(), time.v.begin());
    std::fill(time.v.begin() + kAnalysisLength, time.v.end(), 0.0);
    fftw_execute_dft_r2c(plans.correlationForward, time.v.data(), target.fftw());
    std::copy(windowedInput.begin(), windowedInput.end(), time.v.begin());
    fftw_execute_dft_r2c(plans.correlationForward, time.v.data(), input.fftw());

    // conj(X) Y is the spectrum of sum_n x[n] y[n + k]: X = target gives b,
    // X = input gives r. Both products overwrite their own operand's bin only.
    // Written out in real arithmetic: std::complex's product carries NaN
    // recovery that costs more than the transforms here.
    double* t = reinterpret_cast<double*>(target.v.data());
    double* y = reinterpret_cast<double*>(input.v.data());
    for (std::size_t f = 0; f < 2 * input.v.size(); f += 2) {
        const double tr = t[f], ti = t[f + 1], yr = y[f], yi = y[f + 1];
        t[f] = tr * yr + ti * yi;
        t[f + 1] = tr * yi - ti * yr;
        y[f] = yr * yr + yi * yi;
        y[f + 1] = 0.0;
    }
    const double scale = 1.0 / kCorrelationFft;  // FFTW leaves the inverse unnormalised
    fftw_execute_dft_c2r(plans.correlationInverse, input.fftw(), time.v.data());
    for (int k = 0; k < kEstimatorTaps; ++k)
        autoCorrelation[k] = time.v[k] * scale;
    fftw_execute_dft_c2r(plans.correlationInverse, target.fftw(), time.v.data());
    for (int k = 0; k < kEstimatorTaps; ++k)
        crossCorrelation[k] = time.v[k] * scale;
}

double DirectLagSum(std::span<const float, kAnalysisLength> x,
                    std::span<const float, kAnalysisLength> y, int lag) {
    double sum = 0.0;
    for (int n = 0; n + lag < kAnalysisLength; ++n)
        sum += static_cast<double>(x[n]) * y[n + lag];
    return sum;
}

namespace {

// Bound on |FFT result - direct double sum| for products whose magnitudes sum
// to at most `scale`: the direct sum's own rounding is at most
// 2885 x 2^-53 x scale = 3.2e-13 x scale, the FFT's about 1e-14 x scale.
constexpr double kCorrelationErrorBound = 1e-12;

// The float that the direct sum rounds to: the FFT value's, unless the value
// lies within `bound` of a float rounding boundary.
float RoundLikeDirect(double fftValue, double bound, std::span<const float, kAnalysisLength> x,
                      std::span<const float, kAnalysisLength> y, int lag) {
    const float low = static_cast<float>(fftValue - bound);
    const float high = static_cast<float>(fftValue + bound);
    if (low == high) return low;
    return static_cast<float>(DirectLagSum(x, y, lag));
}

double Energy(std::span<const float, kAnalysisLength> x) {
    return DotProduct(x.data(), x.data(), x.size());
}

}  // namespace

void CorrelateSegments(std::span<const float, kAnalysisLength> windowedTarget,
                       std::span<const float, kAnalysisLength> windowedInput,
                       std::span<float, kEstimatorTaps> autoCorrelation,
                       std::span<float, kEstimatorTaps> crossCorrelation) {
    std::array<double, kEstimatorTaps> autoSums;
    std::array<double, kEstimatorTaps> crossSums;
    CorrelateByFft(windowedTarget, windowedInput, autoSums, crossSums);
    // Cauchy-Schwarz: sum_n |x[n] y[n + k]| <= sqrt(energy x * energy y).
    const double inputEnergy = Energy(windowedInput);
    const double autoBound = kCorrelationErrorBound * inputEnergy;
    const double crossBound =
        kCorrelationErrorBound * std::sqrt(Energy(windowedTarget) * inputEnergy);
    for (int k = 0; k < kEstimatorTaps; ++k) {
        autoCorrelation[k] =
            RoundLikeDirect(autoSums[k], autoBound, windowedInput, windowedInput, k);
        crossCorrelation[k] =
            RoundLikeDirect(crossSums[k], crossBound, windowedTarget, windowedInput, k);
    }
}

void FilterSegment(std::span<const float, kEstimatorTaps> coefficients,
                   std::span<const float, kFilteredLength> input,
                   std::span<double, kEstimateSpan> out) {
    const Plans& plans = GetPlans();
    RealBuffer<kFilterFft> time;
    SpectrumBuffer<kFilterFft> coefficientSpectrum;
    SpectrumBuffer<kFilterFft> inputSpectrum;

    std::fill(time.v.begin(), time.v.end(), 0.0);
    std::copy(coefficients.begin(), coefficients.end(), time.v.begin());
    fftw_execute_dft_r2c(plans.filterForward, time.v.data(), coefficientSpectrum.fftw());
    std::copy(input.begin(), input.end(), time.v.begin());
    std::fill(time.v.begin() + kFilteredLength, time.v.end(), 0.0);
    fftw_execute_dft_r2c(plans.filterForward, time.v.data(), inputSpectrum.fftw());

    // inputSpectrum = conj(C) X, in real arithmetic as above.
    const double* c = reinterpret_cast<const double*>(coefficientSpectrum.v.data());
    double* x = reinterpret_cast<double*>(inputSpectrum.v.data());
    for (std::size_t f = 0; f < 2 * inputSpectrum.v.size(); f += 2) {
        const double cr = c[f], ci = c[f + 1], xr = x[f], xi = x[f + 1];
        x[f] = cr * xr + ci * xi;
        x[f + 1] = cr * xi - ci * xr;
    }
    fftw_execute_dft_c2r(plans.filterInverse, inputSpectrum.fftw(), time.v.data());

    // Outputs whose 177 inputs are all zero are exactly zero.
    const double scale = 1.0 / kFilterFft;
    int nonZero = 0;  // non-zero inputs among input[i .. i + 176]
    for (int j = 0; j < kEstimatorTaps - 1; ++j)
        nonZero += input[j] != 0.0f;
    for (int i = 0; i < kEstimateSpan; ++i) {
        nonZero += input[i + kEstimatorTaps - 1] != 0.0f;
        out[i] = nonZero == 0 ? 0.0 : time.v[i] * scale;
        nonZero -= input[i] != 0.0f;
    }
}

}  // namespace sonorel
