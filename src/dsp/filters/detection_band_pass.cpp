// The click detector listens around 1 kHz, where a click's energy stands out
// from the programme best. Poles: the second-order Butterworth pair at 1000 Hz
// mapped by z = e^(s/fs) (impulse invariance of the poles); zeros at z = 1 (no
// response to DC or rumble) and at z = -(2 - sqrt 3). Design in double, stored
// in float; the filter itself runs in float (detection_band_pass.h).

#include <cmath>
#include <numbers>

#include "filters/detection_band_pass.h"

namespace sonorel {

void DesignDetectionBandPass(DetectCoeffs& coeffs, float centreOverSampleRate) {
    const double theta =
        std::numbers::sqrt2 * std::numbers::pi * static_cast<double>(centreOverSampleRate);
    const double r = std::exp(-theta);
    coeffs.a1 = static_cast<float>(-2.0 * r * std::cos(theta));
    coeffs.a2 = static_cast<float>(r * r);
    coeffs.b1 = static_cast<float>(1.0 - std::numbers::sqrt3);
    coeffs.b2 = static_cast<float>(std::numbers::sqrt3 - 2.0);
}

}  // namespace sonorel
