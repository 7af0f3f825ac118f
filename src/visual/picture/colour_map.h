#pragma once
// The colours of a spectrogram: a level in dB on a fixed scale, from black
// (quiet) through purple, red and orange to pale yellow (loud). Brightness
// rises steadily along the scale, so it reads in grey too.

#include <array>
#include <cstdint>

namespace sonorel {

// The scale every picture uses, so that pictures compare.
inline constexpr float kQuietestDb = -120.0f;
inline constexpr float kLoudestDb = 0.0f;

struct Rgb {
    std::uint8_t r, g, b;
};

// Levels outside the scale take its end colours.
Rgb ColourOfDb(float db);

}  // namespace sonorel
