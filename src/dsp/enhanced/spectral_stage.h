#pragma once
// Combination of the two declicked walls and broadband noise suppression, in
// one short-time Fourier transform (kFftSize samples, sqrt-Hann analysis and
// synthesis windows, hop kHop, so the windows' products sum to 2).
//
// Per hop and bin: Y = gainL L + gainR R (wall_profile.h), or for the Vocal
// Remover half the walls' difference, which holds what they do not share
// (the right wall aligned by a short filter, vocal_alignment.h). Then a
// Wiener gain with the decision-directed a-priori SNR (Ephraim and Malah
// 1984): xi = 0.98 |G' Y'|^2 / lambda + 0.02 max(gamma - 1, 0),
// G = max(xi / (1 + xi), floor), where G' Y' is the previous hop's result.
// The slow xi keeps the residual noise free of "musical" tones; the floor
// (Silence Enhancer) sets how deep the suppression may go: down to three
// times as deep (in dB) in bins whose neighbourhood holds little or no
// programme beside the noise (not with the Vocal Remover), five times in
// hops that hold only noise (pauses; three with the Vocal Remover). lambda
// is the file's noise profile, raised where the short-time power of the
// walls' difference says more wall noise is present (worn, distorted loud
// passages: Rejuvenator sets how far that counts; not with the Vocal
// Remover, whose output is that difference).
//
// Delay: a hop's output is the finished first kHop samples of the
// overlap-add, so output sample i of the hop started with frame samples
// [0, kFftSize) is frame sample i: kFftSize - kHop behind the newest sample.

#include <array>
#include <complex>
#include <span>

#include "engine/channel_function.h"
#include "enhanced/real_fft.h"
#include "enhanced/wall_profile.h"

namespace sonorel {

struct SpectralSettings {
    double gainFloor = 1.0;         // least gain of a bin; 1 turns the suppression off
    double differenceWeight = 0.0;  // 0..1: how far the walls' difference raises lambda
    ChannelFunction mode = ChannelFunction::MonoEnhancer;
};

class SpectralStage {
  public:
    // Copies what it needs from the profile. Allocates nothing itself; the
    // FFT plans must exist (PrepareRealFft).
    void Prepare(const WallProfile& profile, const SpectralSettings& settings);
    void Reset();
    // left and right: the newest kFftSize declicked samples of each wall.
    void ProcessHop(std::span<const float, kFftSize> left, std::span<const float, kFftSize> right,
                    std::span<double, kHop> out);

  private:
    // Each bin's floor from the programme near it (not with the Vocal
    // Remover); spectrumL_ holds this hop's Y.
    void BandFloors(double floor);

    std::array<std::complex<double>, kFftBins> gainL_{};
    std::array<std::complex<double>, kFftBins> gainR_{};
    std::array<std::complex<double>, kFftBins> alignR_{};
    std::array<double, kFftBins> noise_{};
    std::array<double, kFftBins> differenceShare_{};
    std::array<double, kFftSize> window_{};
    SpectralSettings settings_;

    std::array<double, kFftBins> previousPower_{};    // |G Y|^2 of the previous hop
    std::array<double, kFftBins> differencePower_{};  // smoothed |L - alignR R|^2
    std::array<double, kFftBins> lambda_{};           // this hop's noise estimate
    std::array<double, kFftBins> presence_{};         // smoothed |Y|^2
    std::array<double, kFftBins> bandFloor_{};        // this hop's least gain per bin
    std::array<double, kFftBins + 1> powerSum_{};     // sums of presence_ below each bin
    std::array<double, kFftBins + 1> noiseSum_{};     // ... of lambda_
    double hopFloor_ = 1.0;                           // this hop's least gain
    std::array<double, kFftSize> overlap_{};
    alignas(16) FftFrame frameL_{};
    alignas(16) FftFrame frameR_{};
    alignas(16) FftSpectrum spectrumL_{};
    alignas(16) FftSpectrum spectrumR_{};
};

}  // namespace sonorel
