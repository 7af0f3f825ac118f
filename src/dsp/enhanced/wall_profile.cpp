#include "enhanced/wall_profile.h"

#include <algorithm>
#include <cmath>

#include "enhanced/real_fft.h"

namespace sonorel {

void WallSpectra::Add(const std::array<std::complex<double>, kFftBins>& left,
                      const std::array<std::complex<double>, kFftBins>& right) {
    for (int k = 0; k < kFftBins; ++k) {
        leftPower[k] += std::norm(left[k]);
        rightPower[k] += std::norm(right[k]);
        cross[k] += left[k] * std::conj(right[k]);
    }
    frames += 1.0;
}

void WallSpectra::Add(const WallSpectra& other) {
    for (int k = 0; k < kFftBins; ++k) {
        leftPower[k] += other.leftPower[k];
        rightPower[k] += other.rightPower[k];
        cross[k] += other.cross[k];
    }
    frames += other.frames;
}

namespace {

// Bins each side over which the spectra are averaged before the model is
// fitted: the mismatch of a pickup is smooth in frequency, the estimates of
// single bins are not.
constexpr int kSmoothBins = 2;
// No wall's noise is taken below 1 % of its power in the quiet segments, and
// the mismatch gain stays within +-20 dB: a wall that seems noise-free or an
// almost silent wall must not take all the weight.
constexpr double kNoiseFloorShare = 0.01;
constexpr double kMismatchLimit = 10.0;
constexpr double kMinimumWeight = 0.01;
// A power below this (per frame and bin, about -200 dB) counts as silence.
constexpr double kSilentPower = 1e-20;

struct BinSpectra {
    double ll = 0.0;
    double rr = 0.0;
    std::complex<double> lr;
};

BinSpectra Smoothed(const WallSpectra& spectra, int bin) {
    BinSpectra sum;
    if (spectra.frames <= 0.0) return sum;
    const int first = std::max(0, bin - kSmoothBins);
    const int last = std::min(kFftBins - 1, bin + kSmoothBins);
    for (int k = first; k <= last; ++k) {
        sum.ll += spectra.leftPower[k];
        sum.rr += spectra.rightPower[k];
        sum.lr += spectra.cross[k];
    }
    const double scale = 1.0 / (spectra.frames * (last - first + 1));
    sum.ll *= scale;
    sum.rr *= scale;
    sum.lr *= scale;
    return sum;
}

// Turns a transfer function (one value per bin) into kCrossTaps taps
// f[j] for lags j - kCrossReach, tapered at the ends.
void CrossTaps(const std::array<std::complex<double>, kFftBins>& response,
               std::array<float, kCrossTaps>& taps) {
    alignas(16) FftSpectrum spectrum;
    std::copy(response.begin(), response.end(), spectrum.begin());
    spectrum[0] = spectrum[0].real();
    spectrum[kFftBins - 1] = spectrum[kFftBins - 1].real();
    alignas(16) FftFrame impulse;
    InverseFft(spectrum, impulse);
    for (int j = 0; j < kCrossTaps; ++j) {
        const int lag = kCrossReach - j;  // out[t] = sum h[m] in[t - m], m = -lag
        const int index = (lag % kFftSize + kFftSize) % kFftSize;
        const double taper = 0.5 + 0.5 * std::cos(M_PI * (j - kCrossReach) / (kCrossReach + 1));
        taps[j] = static_cast<float>(impulse[index] / kFftSize * taper);
    }
}

double PowerDb(double noise, double total) {
    if (total <= 0.0 || noise <= 0.0) return 0.0;
    return 10.0 * std::log10(noise / total);
}

}  // namespace

WallProfile DeriveWallProfile(const WallSpectra& whole, const WallSpectra& quiet, int sampleRate) {
    PrepareRealFft();  // for the cross-wall taps
    WallProfile profile;
    profile.vocalAlignR.fill(1.0);
    std::array<std::complex<double>, kFftBins> leftFromRight{};
    std::array<std::complex<double>, kFftBins> rightFromLeft{};
    double noiseL = 0.0;
    double noiseR = 0.0;
    double totalL = 0.0;
    double totalR = 0.0;
    const double binHz = static_cast<double>(sampleRate) / kFftSize;
    for (int k = 0; k < kFftBins; ++k) {
        const BinSpectra p = Smoothed(whole, k);
        const BinSpectra q = Smoothed(quiet, k);
        profile.gainL[k] = 0.5;
        profile.gainR[k] = 0.5;
        profile.alignR[k] = 1.0;
        if (p.ll <= kSilentPower || p.rr <= kSilentPower || std::abs(p.lr) <= kSilentPower) {
            continue;
        }
        leftFromRight[k] = p.lr / p.rr;
        rightFromLeft[k] = std::conj(p.lr) / p.ll;
        // Two rounds: the mismatch gain from the whole file, the noise from
        // the quiet segments, then the mismatch again without that noise.
        double gainA = std::sqrt(p.rr / p.ll);
        double nl = 0.0;
        double nr = 0.0;
        double signal = p.ll;
        for (int round = 0; round < 2; ++round) {
            const double quietSignal = std::abs(q.lr) / gainA;
            nl = std::max(q.ll - quietSignal, kNoiseFloorShare * q.ll);
            nr = std::max(q.rr - gainA * gainA * quietSignal, kNoiseFloorShare * q.rr);
            signal = std::max(p.ll - nl, kNoiseFloorShare * p.ll);
            gainA = std::clamp(std::abs(p.lr) / signal, 1.0 / kMismatchLimit, kMismatchLimit);
        }
        // a = conj(E[L R*]) / S, with |a| limited as above.
        const std::complex<double> a = std::polar(gainA, -std::arg(p.lr));
        const double nrAligned = nr / (gainA * gainA);
        double weightL = 0.5;
        if (nl + nrAligned > 0.0) {
            weightL =
                std::clamp(nrAligned / (nl + nrAligned), kMinimumWeight, 1.0 - kMinimumWeight);
        }
        profile.alignR[k] = 1.0 / a;
        profile.leftNoise[k] = nl;
        profile.rightNoise[k] = nr;
        profile.gainL[k] = weightL;
        profile.gainR[k] = (1.0 - weightL) / a;
        profile.differenceShare[k] = weightL * (1.0 - weightL);
        // The noise left in Y is what the walls do not share; the power of
        // Y itself over the quiet segments would count their quiet
        // programme as noise too.
        profile.noisePower[k] = weightL * (1.0 - weightL) * (nl + nrAligned);
        const double hz = k * binHz;
        if (hz >= 50.0 && hz <= 16000.0) {
            noiseL += nl;
            noiseR += nr;
            totalL += p.ll;
            totalR += p.rr;
        }
    }
    CrossTaps(leftFromRight, profile.leftFromRight);
    CrossTaps(rightFromLeft, profile.rightFromLeft);
    profile.leftNoiseDb = PowerDb(noiseL, totalL);
    profile.rightNoiseDb = PowerDb(noiseR, totalR);
    return profile;
}

}  // namespace sonorel
