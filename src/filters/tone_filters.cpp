#include "filters/tone_filters.h"

#include <cstdint>

namespace sonorel {

bool HissLowPassActive(unsigned sampleRate, unsigned hissHz) {
    // 64-bit products: the same answer as 32-bit arithmetic for every real
    // sample rate, without wrapping for absurd ones.
    const std::uint64_t fs = sampleRate;
    const std::uint64_t hiss32 = 32ull * hissHz;
    return fs < hiss32 && hiss32 < 15ull * fs;
}

bool DesignToneFilters(ToneFilters& filters, unsigned sampleRate, unsigned rumbleHz,
                       unsigned hissHz) {
    const float fs = static_cast<float>(sampleRate);
    const float nyquist = fs * 0.5f;
    DesignRumbleHighPass(filters.rumbleCoeffs, static_cast<float>(rumbleHz) / nyquist);
    DesignDetectionBandPass(filters.detectCoeffs, 1000.0f / fs);
    const bool hissActive = HissLowPassActive(sampleRate, hissHz);
    if (hissActive) {
        DesignLowPass(filters.hissCoeffs, static_cast<float>(hissHz) / nyquist, 1.5f);
    }
    return hissActive;
}

}  // namespace sonorel
