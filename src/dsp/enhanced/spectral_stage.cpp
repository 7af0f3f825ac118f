#include "enhanced/spectral_stage.h"

#include <algorithm>
#include <cmath>

namespace sonorel {
namespace {

constexpr double kDecisionWeight = 0.98;
// The walls' difference is smoothed over about four hops (23 ms at 44.1 kHz).
constexpr double kDifferenceSmoothing = 0.75;
// Sum over the four overlapping hops of analysis x synthesis window (Hann).
constexpr double kOverlapSum = 2.0;
// A hop whose power is under kNoiseOnlyRatio times its noise estimate holds
// no programme: its floor goes kQuietFloorPower times as deep (in dB), so
// pauses come out near silence instead of at the floor's hiss (with the
// Vocal Remover kVocalQuietFloorPower times). Programme
// lifts the floor back at once; a pause lowers it by kFloorRelease a hop.
constexpr double kNoiseOnlyRatio = 2.0;
constexpr double kQuietFloorPower = 5.0;
constexpr double kVocalQuietFloorPower = 3.0;
constexpr double kFloorRelease = 0.7;
// Per bin, the programme's power near it is estimated as what the smoothed
// power of Y over kPresenceBins bins each side holds beyond kNoiseExcess
// times their noise, and the bin's floor is brought down to that level
// relative to the noise, at most kBandFloorPower times as deep (in dB) as
// the floor: a band that holds only noise (the empty treble of a piano) is
// not left at the floor's hiss, while a band with programme at or above the
// noise keeps the floor. The excess over 1 keeps the chance fluctuations of
// noise from counting as programme.
constexpr int kPresenceBins = 4;
constexpr double kPresenceSmoothing = 0.5;
constexpr double kNoiseExcess = 1.5;
constexpr double kBandFloorPower = 3.0;

}  // namespace

void SpectralStage::Prepare(const WallProfile& profile, const SpectralSettings& settings) {
    gainL_ = profile.gainL;
    gainR_ = profile.gainR;
    alignR_ = profile.alignR;
    noise_ = profile.noisePower;
    differenceShare_ = profile.differenceShare;
    settings_ = settings;
    if (settings.mode == ChannelFunction::VocalRemover) {
        // Half the difference with the right wall through the short
        // alignment filter: its noise is a quarter of both walls' noise.
        alignR_ = profile.vocalAlignR;
        for (int k = 0; k < kFftBins; ++k) {
            noise_[k] =
                0.25 * (profile.leftNoise[k] + std::norm(alignR_[k]) * profile.rightNoise[k]);
            differenceShare_[k] = 0.25;
        }
    }
    for (int n = 0; n < kFftSize; ++n) {
        window_[n] = std::sqrt(0.5 - 0.5 * std::cos(2.0 * M_PI * n / kFftSize));
    }
    Reset();
}

void SpectralStage::Reset() {
    previousPower_.fill(0.0);
    presence_.fill(0.0);
    differencePower_.fill(0.0);
    hopFloor_ = settings_.gainFloor;
    overlap_.fill(0.0);
}

void SpectralStage::BandFloors(double floor) {
    // Running sums, so that each bin's neighbourhood costs two subtractions.
    powerSum_[0] = 0.0;
    noiseSum_[0] = 0.0;
    for (int k = 0; k < kFftBins; ++k) {
        presence_[k] = kPresenceSmoothing * presence_[k] +
                       (1.0 - kPresenceSmoothing) * std::norm(spectrumL_[k]);
        powerSum_[k + 1] = powerSum_[k] + presence_[k];
        noiseSum_[k + 1] = noiseSum_[k] + lambda_[k];
    }
    const double deepest = std::pow(floor, kBandFloorPower);
    for (int k = 0; k < kFftBins; ++k) {
        const int first = std::max(0, k - kPresenceBins);
        const int end = std::min(kFftBins, k + kPresenceBins + 1);
        const double power = powerSum_[end] - powerSum_[first];
        const double noise = noiseSum_[end] - noiseSum_[first];
        // The floor is sqrt(programme / noise) within [deepest, floor],
        // compared squared so that only bins between the two need the root.
        const double programme = std::max(power - kNoiseExcess * noise, 0.0);
        if (!(noise > 0.0) || programme >= floor * floor * noise) {
            bandFloor_[k] = floor;
        } else if (programme <= deepest * deepest * noise) {
            bandFloor_[k] = deepest;
        } else {
            bandFloor_[k] = std::sqrt(programme / noise);
        }
    }
}

void SpectralStage::ProcessHop(std::span<const float, kFftSize> left,
                               std::span<const float, kFftSize> right,
                               std::span<double, kHop> out) {
    for (int n = 0; n < kFftSize; ++n) {
        frameL_[n] = left[n] * window_[n];
        frameR_[n] = right[n] * window_[n];
    }
    ForwardFft(frameL_, spectrumL_);
    ForwardFft(frameR_, spectrumR_);
    const bool vocal = settings_.mode == ChannelFunction::VocalRemover;
    double hopPower = 0.0;
    double hopNoise = 0.0;
    for (int k = 0; k < kFftBins; ++k) {
        const std::complex<double> l = spectrumL_[k];
        const std::complex<double> r = spectrumR_[k];
        const std::complex<double> difference = l - alignR_[k] * r;
        const std::complex<double> y = vocal ? 0.5 * difference : gainL_[k] * l + gainR_[k] * r;
        differencePower_[k] = kDifferenceSmoothing * differencePower_[k] +
                              (1.0 - kDifferenceSmoothing) * std::norm(difference);
        // With the Vocal Remover the difference is the programme, not a
        // measure of wall noise, so it must not raise lambda.
        lambda_[k] = vocal ? noise_[k]
                           : std::max(noise_[k], settings_.differenceWeight * differenceShare_[k] *
                                                     differencePower_[k]);
        spectrumL_[k] = y;
        hopPower += std::norm(y);
        hopNoise += lambda_[k];
    }
    const double floor = settings_.gainFloor;
    const double quietFloor = std::pow(floor, vocal ? kVocalQuietFloorPower : kQuietFloorPower);
    hopFloor_ = hopPower < kNoiseOnlyRatio * hopNoise
                    ? std::max(quietFloor, hopFloor_ * kFloorRelease)
                    : floor;
    if (!vocal) BandFloors(floor);
    for (int k = 0; k < kFftBins; ++k) {
        const std::complex<double> y = spectrumL_[k];
        const double lambda = lambda_[k];
        double gain = 1.0;
        if (floor < 1.0 && lambda > 0.0) {
            const double gamma = std::norm(y) / lambda;
            const double xi = kDecisionWeight * previousPower_[k] / lambda +
                              (1.0 - kDecisionWeight) * std::max(gamma - 1.0, 0.0);
            gain =
                std::max(xi / (1.0 + xi), vocal ? hopFloor_ : std::min(hopFloor_, bandFloor_[k]));
        }
        const std::complex<double> cleaned = gain * y;
        previousPower_[k] = std::norm(cleaned);
        spectrumL_[k] = cleaned;
    }
    InverseFft(spectrumL_, frameL_);
    const double scale = 1.0 / (kFftSize * kOverlapSum);
    for (int n = 0; n < kFftSize; ++n)
        overlap_[n] += frameL_[n] * window_[n] * scale;
    std::copy(overlap_.begin(), overlap_.begin() + kHop, out.begin());
    std::copy(overlap_.begin() + kHop, overlap_.end(), overlap_.begin());
    std::fill(overlap_.end() - kHop, overlap_.end(), 0.0);
}

}  // namespace sonorel
