#pragma once
// Eighth-order inverse-Chebyshev (Chebyshev type II) filters as a cascade of
// four second-order sections, designed by DesignLowPass and run sample by
// sample by RunCascade.
//
// Each section is (1 + b1 z^-1 + z^-2) / (1 + a1 z^-1 + a2 z^-2): the zeros lie
// on the unit circle, so the outer numerator coefficients are exactly 1 and
// only b1 is stored. The whole filter is gain x section 1 x ... x section 4.
//
// Precision: coefficients, gain and state are doubles; a sample enters as a
// float and the caller stores the result as a float. Section outputs are
// never rounded to float between sections.
//
// Delay: none beyond the filter's own phase response (no look-ahead).

#include <array>

namespace sonorel {

struct CascadeSection {
    double b1 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
};

struct CascadeCoeffs {
    std::array<CascadeSection, 4> section{};  // section[0] is applied first
    double gain = 1.0;
};

// Two doubles per section in section order: w1 (newest intermediate value),
// then w2 (the one before it).
struct CascadeState {
    std::array<double, 8> w{};
};

// Designs the low-pass whose stopband edge lies at a x (fs / 2), 0 < a < 1;
// b is the stopband factor (1.5 for the hiss low-pass: the -0.85 dB point
// then falls on a x fs / 2). The gain makes the response exactly 1 at 0 Hz.
void DesignLowPass(CascadeCoeffs& coeffs, float a, float b);

// The rumble high-pass: the low-pass for 1 - a mirrored about fs / 4 (z -> -z),
// so that its stopband ends exactly at a x (fs / 2) and its gain at the
// Nyquist frequency is exactly 1.
void DesignRumbleHighPass(CascadeCoeffs& coeffs, float a);

// One sample through the four sections; returns the output with the gain applied.
double RunCascade(float x, const CascadeCoeffs& coeffs, CascadeState& state);

}  // namespace sonorel
