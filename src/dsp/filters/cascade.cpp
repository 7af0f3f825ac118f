// Eighth-order inverse-Chebyshev low-pass and its mirror image, the rumble
// high-pass, as four biquads with zeros on the unit circle.
//
// The design is the bilinear transform z = (1 + s) / (1 - s) of an analog
// inverse-Chebyshev prototype whose stopband edge is the pre-warped
// Omega_s = b tan(pi a / 2). The four pole pairs sit at the angles
// theta = 7pi/16, 5pi/16, 3pi/16, pi/16; each is reached from the previous by
// a rotation through pi/8, starting from the highest-Q pair (pi/16), so that
// every section is computed from the same few exact constants. The analog
// poles are Omega_s / (-sinh v sin theta + j cosh v cos theta) with
// e^v = 2.378413946, which makes the stopband about 54.2 dB deep; the zeros
// are +-j Omega_s / cos theta and land on the unit circle.

#include <cmath>
#include <complex>
#include <numbers>

#include "filters/cascade.h"

namespace sonorel {
namespace {

using Complex = std::complex<double>;

// Rotation by pi/8 between successive sections.
constexpr Complex kRotation{0.9238795325112867, 0.3826834323650897};
// Pole prototype of the pi/16 section (magnitude 2.378413946, angle pi/16)
// and its square, taken as a constant rather than computed.
constexpr Complex kW0{2.3327133894094008, 0.46400554270565};
constexpr Complex kW0Squared{5.22625061346833, 2.1647838844592906};
// e^(j pi/16) and 1 + e^(j pi/8), the zero prototype of the pi/16 section.
constexpr Complex kU0{0.9807852804032304, 0.19509032201612825};
constexpr Complex kOnePlusU0Squared{1.9238795325112867, 0.3826834323650897};

// Bilinear image of the analog root described by (1 + x^2, x): the digital
// root (1 + x^2 - j c x) / (1 + x^2 + j c x).
Complex DigitalRoot(Complex onePlusSquare, Complex x, double c) {
    const Complex jcx = Complex{0.0, c} * x;
    return (onePlusSquare - jcx) / (onePlusSquare + jcx);
}

}  // namespace

void DesignLowPass(CascadeCoeffs& coeffs, float edgeOverNyquist, float stopbandFactor) {
    // c = 2 Omega_s, twice the pre-warped stopband edge.
    const double c = 2.0 * static_cast<double>(stopbandFactor) *
                     std::tan(std::numbers::pi * static_cast<double>(edgeOverNyquist) / 2.0);
    Complex rotation{1.0, 0.0};
    double gain = 1.0;
    // Section 4 (index 3) first, then 3, 2 and 1.
    for (int index = 3; index >= 0; --index) {
        const bool first = index == 3;
        const Complex w = kW0 * rotation;
        const Complex wSquared = first ? kW0Squared : w * w;
        const Complex pole = DigitalRoot(1.0 + wSquared, w, c);

        const Complex u = kU0 * rotation;
        const Complex onePlusUSquared = first ? kOnePlusU0Squared : 1.0 + u * u;
        const Complex zero = DigitalRoot(onePlusUSquared, u, c);

        CascadeSection& section = coeffs.section[index];
        section.a1 = -2.0 * pole.real();
        section.a2 = std::norm(pole);
        section.b1 = -2.0 * zero.real();
        // Unit gain at z = 1 for the section pair so far.
        gain *= (1.0 + section.a1 + section.a2) / (2.0 + section.b1);
        rotation *= kRotation;
    }
    coeffs.gain = gain;
}

void DesignRumbleHighPass(CascadeCoeffs& coeffs, float stopbandEndOverNyquist) {
    DesignLowPass(coeffs, 1.0f - stopbandEndOverNyquist, 1.0f);
    // z -> -z: the low-pass response at f becomes the high-pass response at
    // fs/2 - f; a2 and the gain are even in z and stay.
    for (CascadeSection& section : coeffs.section) {
        section.b1 = -section.b1;
        section.a1 = -section.a1;
    }
}

}  // namespace sonorel
