#pragma once
// First-order bass and treble shelving sections with one common gain.
//
// A section is (1 - zero z^-1) / (1 - pole z^-1). The bass section turns over
// at 300 Hz, the treble section at 3500 Hz; the common gain g comes from the
// sections' magnitudes at the reference frequency sqrt(300 x 3500) Hz.
// Delay: none beyond the sections' own phase response.

namespace sonorel {

inline constexpr double kBassTurnoverHz = 300.0;
inline constexpr double kTrebleTurnoverHz = 3500.0;
inline constexpr double kShelfReferenceHz2 = 1050000.0;  // reference frequency squared

// Low shelf of liftDb > 0 turning over at turnoverHz: writes the zero zA and
// the pole zB (as floats) and returns the section's magnitude at the
// reference frequency.
double DesignShelf(int liftDb, float turnoverHz, int sampleRate, float& zA, float& zB);

// Signed lift. liftDb = 0, or turnoverHz not below half the sample rate:
// first = second = 0 and the result is 1. liftDb > 0: first = zA, second =
// zB, result R. liftDb < 0: first = zB, second = zA, result 1 / R (with
// DesignShelf(-liftDb)).
double SetupShelf(float& first, float& second, int liftDb, float turnoverHz, int sampleRate);

// The whole shelving stage of the output path: bass section, treble section,
// common gain. All zero coefficients and g = 1 pass the signal unchanged.
struct ShelfCoeffs {
    float bp = 0.0f;  // bass pole
    float bz = 0.0f;  // bass zero
    float tp = 0.0f;  // treble pole
    float tz = 0.0f;  // treble zero
    float g = 1.0f;   // common gain
};

// Bass then treble SetupShelf, in that order, with the roles of the two
// results swapped for the treble section (so that the same low-shelf design
// lifts the highs), and g = Rt x Rb.
ShelfCoeffs DesignShelves(int bassLiftDb, int trebleLiftDb, int sampleRate);

// One sample through both sections and g. The states are the previous
// intermediate values of the two sections, 0 at the start of a file.
// Arithmetic in double, states stored as float; the input is taken in double
// so that a mix computed in double is rounded only once, at the output.
inline float RunShelves(double x, const ShelfCoeffs& c, float& bassState, float& trebleState) {
    const double bassIn = x + static_cast<double>(c.bp) * bassState;
    const double trebleIn =
        bassIn - static_cast<double>(c.bz) * bassState + static_cast<double>(c.tp) * trebleState;
    bassState = static_cast<float>(bassIn);
    const double y = (trebleIn - static_cast<double>(c.tz) * trebleState) * c.g;
    trebleState = static_cast<float>(trebleIn);
    return static_cast<float>(y);
}

}  // namespace sonorel
