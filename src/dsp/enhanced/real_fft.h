#pragma once
// The enhanced method's one transform size: real FFT of kFftSize samples to
// kFftBins complex bins and back, unnormalised (a round trip scales by
// kFftSize). Double precision, FFTW_ESTIMATE plans (deterministic), made once
// per process by PrepareRealFft and run through FFTW's new-array execute
// functions on the caller's buffers: thread-safe, allocates nothing. Buffers
// must be 16-byte aligned, as the plans' own were.

#include <array>
#include <complex>

#include "enhanced/enhanced_frame.h"

namespace sonorel {

using FftFrame = std::array<double, kFftSize>;
using FftSpectrum = std::array<std::complex<double>, kFftBins>;

// Creates the plans if they do not exist yet. Allocates: call during setup.
void PrepareRealFft();

void ForwardFft(FftFrame& in, FftSpectrum& out);
// Destroys `in` (FFTW's complex-to-real transform works in place on it).
void InverseFft(FftSpectrum& in, FftFrame& out);

}  // namespace sonorel
