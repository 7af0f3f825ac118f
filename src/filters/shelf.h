#pragma once
// First-order bass and treble shelving sections with one common gain.
//
// A section is (1 - zero z^-1) / (1 - pole z^-1). The bass section turns over
// at 300 Hz, the treble section at 3500 Hz; the common gain g comes from the
// sections' magnitudes at the reference frequency sqrt(300 x 3500) Hz.

namespace sonorel {

inline constexpr double kBassTurnoverHz = 300.0;
inline constexpr double kTrebleTurnoverHz = 3500.0;
inline constexpr double kShelfReferenceHz2 = 1050000.0;  // reference frequency squared

// Low shelf of n dB (n > 0) turning over at fHz: writes the zero zA and the pole
// zB (as floats) and returns the section's magnitude at the reference frequency.
double DesignShelf(int n, float fHz, int sampleRate, float& zA, float& zB);

// Signed lift d dB. d = 0, or fHz not below half the sample rate: first =
// second = 0 and the result is 1. d > 0: first = zA, second = zB, result R.
// d < 0: first = zB, second = zA, result 1 / R (with DesignShelf(-d)).
double SetupShelf(float& first, float& second, int d, float fHz, int sampleRate);

}  // namespace sonorel
