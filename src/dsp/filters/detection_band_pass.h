#pragma once
// The 1 kHz detection band-pass of the click detector: one second-order
// section (1 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2) whose poles are the
// images of the second-order Butterworth pair at 1000 Hz and whose zeros lie
// at z = 1 and z = -(2 - sqrt 3). Single precision throughout.

#include <array>

namespace sonorel {

struct DetectCoeffs {
    float a1 = 0.0f;
    float a2 = 0.0f;
    float b1 = 0.0f;
    float b2 = 0.0f;
};

inline constexpr float kDetectionCentreHz = 1000.0f;

// centreOverSampleRate = 1000 / fs.
void DesignDetectionBandPass(DetectCoeffs& coeffs, float centreOverSampleRate);

// Per-sample step; state holds w1 (newer) then w2 (older).
inline float RunDetection(float x, const DetectCoeffs& c, std::array<float, 2>& state) {
    const float w = x - c.a1 * state[0] - c.a2 * state[1];
    const float y = w + c.b1 * state[0] + c.b2 * state[1];
    state[1] = state[0];
    state[0] = w;
    return y;
}

}  // namespace sonorel
