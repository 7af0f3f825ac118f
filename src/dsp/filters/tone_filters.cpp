#include "filters/tone_filters.h"

#include <cstdint>

namespace sonorel {

bool HissLowPassActive(unsigned sampleRate, unsigned hissHz) {
    const std::uint64_t fs = sampleRate;
    const std::uint64_t hiss32 = 32ull * hissHz;
    return fs < hiss32 && hiss32 < 15ull * fs;
}

ToneFilters DesignToneFilters(unsigned sampleRate, const ToneSettings& tone) {
    ToneFilters filters;
    filters.shelves =
        DesignShelves(tone.bassLiftDb, tone.trebleLiftDb, static_cast<int>(sampleRate));
    const float fs = static_cast<float>(sampleRate);
    const float nyquist = fs * 0.5f;
    DesignRumbleHighPass(filters.rumbleCoeffs, static_cast<float>(tone.rumbleHz) / nyquist);
    DesignDetectionBandPass(filters.detectCoeffs, kDetectionCentreHz / fs);
    filters.hissActive = HissLowPassActive(sampleRate, tone.hissHz);
    if (filters.hissActive) {
        // Stopband factor 1.5: the -0.85 dB point falls on the setting.
        DesignLowPass(filters.hissCoeffs, static_cast<float>(tone.hissHz) / nyquist, 1.5f);
    }
    return filters;
}

}  // namespace sonorel
