#include "picture/colour_map.h"

#include <algorithm>
#include <cmath>

namespace sonorel {
namespace {

// Nine stops evenly along the scale, interpolated linearly.
constexpr std::array<Rgb, 9> kStops{{{0, 0, 4},
                                     {31, 12, 72},
                                     {85, 15, 109},
                                     {136, 34, 106},
                                     {186, 54, 85},
                                     {227, 89, 51},
                                     {249, 140, 10},
                                     {249, 201, 50},
                                     {252, 255, 164}}};

std::uint8_t Mix(std::uint8_t a, std::uint8_t b, float t) {
    return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
}

}  // namespace

Rgb ColourOfDb(float db) {
    // NaN lands on the quiet end.
    const float t = std::clamp((db - kQuietestDb) / (kLoudestDb - kQuietestDb), 0.0f, 1.0f);
    const float position = (t == t ? t : 0.0f) * (kStops.size() - 1);
    const std::size_t low = std::min(static_cast<std::size_t>(position), kStops.size() - 2);
    const float within = position - static_cast<float>(low);
    const Rgb& a = kStops[low];
    const Rgb& b = kStops[low + 1];
    return {Mix(a.r, b.r, within), Mix(a.g, b.g, within), Mix(a.b, b.b, within)};
}

}  // namespace sonorel
