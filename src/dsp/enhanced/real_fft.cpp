#include "enhanced/real_fft.h"

#include <fftw3.h>

#include <mutex>

#include "engine/fft_planner.h"

namespace sonorel {
namespace {

struct RealFftPlans {
    fftw_plan forward = nullptr;
    fftw_plan inverse = nullptr;
};

RealFftPlans& Plans() {
    static RealFftPlans plans;
    return plans;
}

fftw_complex* AsFftw(FftSpectrum& spectrum) {
    // std::complex<double> is layout-compatible with double[2].
    return reinterpret_cast<fftw_complex*>(spectrum.data());  // NOLINT(*-reinterpret-cast)
}

}  // namespace

void PrepareRealFft() {
    const std::lock_guard<std::mutex> lock(FftPlannerLock());
    RealFftPlans& plans = Plans();
    if (plans.forward != nullptr) return;
    double* frame = fftw_alloc_real(kFftSize);
    fftw_complex* spectrum = fftw_alloc_complex(kFftBins);
    plans.forward = fftw_plan_dft_r2c_1d(kFftSize, frame, spectrum, FFTW_ESTIMATE);
    plans.inverse = fftw_plan_dft_c2r_1d(kFftSize, spectrum, frame, FFTW_ESTIMATE);
    fftw_free(spectrum);
    fftw_free(frame);
}

void ForwardFft(FftFrame& in, FftSpectrum& out) {
    fftw_execute_dft_r2c(Plans().forward, in.data(), AsFftw(out));
}

void InverseFft(FftSpectrum& in, FftFrame& out) {
    fftw_execute_dft_c2r(Plans().inverse, AsFftw(in), out.data());
}

}  // namespace sonorel
