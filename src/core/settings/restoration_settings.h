#pragma once
// The twelve restoration settings, their ranges and defaults, and the
// conversions a run applies to them. The main window's controls, the
// configuration file and sonorel-cli all take the ranges from here.

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/channel_function.h"

namespace sonorel {

// The nine slider settings, in the order the main window creates them.
enum class Slider : int {
    Click,
    Noise,
    Distortion,
    Gain,
    Rumble,
    Hiss,
    Bass,
    Treble,
    Duration,
};
inline constexpr int kSliderCount = 9;

struct SliderRange {
    Slider slider;
    std::string_view key;     // configuration key, e.g. "Click"
    std::string_view option;  // sonorel-cli option, e.g. "click"
    std::string_view group;   // main window group label, e.g. "Click Remover"
    int minimum;
    int maximum;
    int defaultValue;
};

inline constexpr std::array<SliderRange, kSliderCount> kSliderRanges{{
    {Slider::Click, "Click", "click", "Click Remover", 0, 10, 5},
    {Slider::Noise, "Noise", "noise", "Silence Enhancer", 0, 10, 5},
    {Slider::Distortion, "Distortion", "distortion", "Rejuvenator", 0, 10, 5},
    {Slider::Gain, "Gain", "gain", "Output Level (dB)", -12, 12, 0},
    {Slider::Rumble, "Rumble", "rumble", "Rumble Filter (Hz)", 10, 120, 40},
    {Slider::Hiss, "Hiss", "hiss", "Hiss Filter (kHz)", 4, 24, 18},
    {Slider::Bass, "Bass", "bass", "Bass Lift (dB)", -18, 18, 0},
    {Slider::Treble, "Treble", "treble", "Treble Lift (dB)", -18, 18, 0},
    {Slider::Duration, "Duration", "preview-time", "Preview Time (s)", 10, 60, 20},
}};

constexpr const SliderRange& RangeOf(Slider s) {
    return kSliderRanges[static_cast<int>(s)];
}

// A value raised to the slider's minimum or lowered to its maximum.
constexpr int ClampToRange(Slider s, int value) {
    const SliderRange& r = RangeOf(s);
    return value < r.minimum ? r.minimum : (value > r.maximum ? r.maximum : value);
}

// What the per-file run receives: the settings after conversion.
struct RunParameters {
    float clickAmount = 0.5f;       // 0..1
    float noiseAmount = 0.5f;       // 0..1
    float distortionAmount = 0.5f;  // 0..1
    float outputGain = 1.0f;        // 10^(0.05 x dB)
    std::uint32_t hissHz = 18000;
    std::uint32_t rumbleHz = 40;
    int bassLiftDb = 0;
    int trebleLiftDb = 0;
    int previewSeconds = 20;
    ChannelFunction channelFunction = ChannelFunction::MonoEnhancer;
    bool antiPhase = false;
    bool keepOriginalLevel = false;
};

// The snapshot that Go!, Preview and sonorel-cli take of the twelve settings.
struct RestorationSettings {
    int click_level = 5;
    int noise_level = 5;
    int distortion_level = 5;
    int output_gain_db = 0;
    int rumble_hz = 40;
    int hiss_khz = 18;
    int bass_lift_db = 0;
    int treble_lift_db = 0;
    int preview_seconds = 20;
    ChannelFunction channel_function = ChannelFunction::MonoEnhancer;
    bool anti_phase = false;
    bool keep_original_level = false;

    int Get(Slider s) const;
    void Set(Slider s, int value);  // stores the value as given; callers clamp

    RunParameters Convert() const;
};

// The five answers of the last accepted wizard, -1 where none was stored.
struct WizardAnswers {
    int category = -1;
    int playback = -1;
    int hissiness = -1;
    int scratchiness = -1;
    int roughness = -1;
};

}  // namespace sonorel
