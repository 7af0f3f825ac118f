#pragma once
// What the enhanced method knows about a file's two walls, derived once from
// the enhanced analysis (enhanced_analysis.h) and fixed for the processing
// pass.
//
// The model, per frequency bin: left = s + nL, right = a s + nR, with s the
// groove's signal, a the static mismatch of the right wall (gain, tone,
// phase, timing) and nL, nR each wall's own noise, independent of each other.
// From the whole file's spectra (signal-dominated) and the quietest
// segments' (noise-dominated) the derivation estimates a, NL = E|nL|^2 and
// NR = E|nR|^2; then
//   - the combination Y = gL left + gR right aligns the right wall (divides
//     by a) and weights each wall by the inverse of its noise power in that
//     bin: never worse than the better wall, +3.01 dB over one wall for equal
//     noise;
//   - the noise profile is the power of the wall noise left in Y, what the
//     noise suppression takes as its noise (the noise common to both walls
//     cannot be told from the programme and is left alone);
//   - the two cross-wall filters predict each wall from the other (Wiener
//     filters cut to kCrossTaps taps), for the click repair.

#include <array>
#include <complex>

#include "enhanced/enhanced_frame.h"

namespace sonorel {

// Power spectra summed over frames: E[|L|^2], E[|R|^2], E[L conj(R)].
struct WallSpectra {
    std::array<double, kFftBins> leftPower{};
    std::array<double, kFftBins> rightPower{};
    std::array<std::complex<double>, kFftBins> cross{};
    double frames = 0.0;

    void Add(const std::array<std::complex<double>, kFftBins>& left,
             const std::array<std::complex<double>, kFftBins>& right);
    void Add(const WallSpectra& other);
};

struct WallProfile {
    std::array<std::complex<double>, kFftBins> gainL{};  // Y = gainL L + gainR R
    std::array<std::complex<double>, kFftBins> gainR{};
    std::array<double, kFftBins> noisePower{};  // E|gainL nL + gainR nR|^2
    // The walls' difference D = L - alignR R holds only their noise, and
    // differenceShare |D|^2 is the share of it that stays in Y.
    std::array<std::complex<double>, kFftBins> alignR{};
    std::array<double, kFftBins> differenceShare{};
    // The Vocal Remover's alignment of the right wall, a short filter
    // (vocal_alignment.h; 1 until the analysis fits it), and each wall's own
    // noise power E|nL|^2, E|nR|^2 per bin.
    std::array<std::complex<double>, kFftBins> vocalAlignR{};
    std::array<double, kFftBins> leftNoise{};
    std::array<double, kFftBins> rightNoise{};
    std::array<float, kCrossTaps>
        leftFromRight{};  // left[t] ~ sum_k f[k] right[t + k - kCrossReach]
    std::array<float, kCrossTaps> rightFromLeft{};
    // Figures for the report: each wall's noise power over 50 Hz..16 kHz
    // relative to its whole-file power, in dB (0 when the file is silent).
    double leftNoiseDb = 0.0;
    double rightNoiseDb = 0.0;
};

// `whole` sums every frame of the file, `quiet` the frames of its quietest
// segments. Silence (or no frames) gives the neutral profile: the plain mean
// of the walls, no noise, no prediction. Setup: may allocate (the FFT plans).
WallProfile DeriveWallProfile(const WallSpectra& whole, const WallSpectra& quiet, int sampleRate);

}  // namespace sonorel
