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
#include <cstddef>

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

// Designs the low-pass for the edge frequency a = edgeOverNyquist (a fraction
// of fs / 2, 0 < a < 1) and the stopband factor b = stopbandFactor: the
// pre-warped stopband edge is b tan(pi a / 2), so with b = 1.5 (the hiss
// low-pass) the -0.85 dB point falls on a x fs / 2, and with b = 1 the
// stopband begins there. The gain makes the response exactly 1 at 0 Hz.
void DesignLowPass(CascadeCoeffs& coeffs, float edgeOverNyquist, float stopbandFactor);

// The rumble high-pass: the low-pass for 1 - a (b = 1) mirrored about fs / 4
// (z -> -z), so that its stopband ends exactly at a = stopbandEndOverNyquist
// (a fraction of fs / 2) and its gain at the Nyquist frequency is exactly 1.
void DesignRumbleHighPass(CascadeCoeffs& coeffs, float stopbandEndOverNyquist);

// One sample through the four sections; returns the output with the gain
// applied. Inline: it runs once per sample in the kernel's per-sample loops,
// where a call costs more than the sections (and makes the caller save its
// floating-point registers around it).
inline double RunCascade(float x, const CascadeCoeffs& coeffs, CascadeState& state) {
    double s = x;
    for (std::size_t index = 0; index < coeffs.section.size(); ++index) {
        const CascadeSection& section = coeffs.section[index];
        double& w1 = state.w[2 * index];
        double& w2 = state.w[2 * index + 1];
        const double w = s - section.a1 * w1 - section.a2 * w2;
        s = w + section.b1 * w1 + w2;
        w2 = w1;
        w1 = w;
    }
    return s * coeffs.gain;
}

}  // namespace sonorel
