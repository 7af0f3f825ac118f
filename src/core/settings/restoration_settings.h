#pragma once
// The twelve restoration settings and the one table that describes the nine
// sliders among them: the setting each stands for, its configuration key,
// its sonorel-cli option, its label and tooltip in the main window, what
// sonorel-cli's help says it does, its range and its default. The main
// window's layout, the configuration file, sonorel-cli and the conversions
// for a run all read that table.

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/channel_function.h"
#include "settings/restoration_method.h"

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

// A slider's default, from the table below.
constexpr int DefaultOf(Slider slider);

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
    RestorationMethod method = RestorationMethod::Classic;
};

// The snapshot that Go!, Preview and sonorel-cli take of the twelve settings.
struct RestorationSettings {
    int click_level = DefaultOf(Slider::Click);
    int noise_level = DefaultOf(Slider::Noise);
    int distortion_level = DefaultOf(Slider::Distortion);
    int output_gain_db = DefaultOf(Slider::Gain);
    int rumble_hz = DefaultOf(Slider::Rumble);
    int hiss_khz = DefaultOf(Slider::Hiss);
    int bass_lift_db = DefaultOf(Slider::Bass);
    int treble_lift_db = DefaultOf(Slider::Treble);
    int preview_seconds = DefaultOf(Slider::Duration);
    ChannelFunction channel_function = ChannelFunction::MonoEnhancer;
    bool anti_phase = false;
    bool keep_original_level = false;
    RestorationMethod method = RestorationMethod::Classic;

    int Get(Slider slider) const;
    void Set(Slider slider, int value);  // stores the value as given; callers clamp

    RunParameters Convert() const;
};

struct SliderRange {
    Slider slider;
    int RestorationSettings::*field;  // the setting in the record
    std::string_view key;             // configuration key
    std::string_view option;          // sonorel-cli option, without the dashes
    std::string_view group;           // main window group label
    std::string_view tooltip;         // the slider's tooltip
    std::string_view purpose;         // what it does, for sonorel-cli --help
    int minimum;
    int maximum;
    int defaultValue;
};

inline constexpr std::array<SliderRange, kSliderCount> kSliderRanges{{
    {.slider = Slider::Click,
     .field = &RestorationSettings::click_level,
     .key = "Click",
     .option = "click",
     .group = "Click Remover",
     .tooltip = "Adjust the sensitivity of the click suppressor",
     .purpose = "how hard clicks and ticks are repaired",
     .minimum = 0,
     .maximum = 10,
     .defaultValue = 5},
    {.slider = Slider::Noise,
     .field = &RestorationSettings::noise_level,
     .key = "Noise",
     .option = "noise",
     .group = "Silence Enhancer",
     .tooltip = "Adjust the suppression of noise during quiet periods",
     .purpose = "noise suppression in quiet passages",
     .minimum = 0,
     .maximum = 10,
     .defaultValue = 5},
    {.slider = Slider::Distortion,
     .field = &RestorationSettings::distortion_level,
     .key = "Distortion",
     .option = "distortion",
     .group = "Rejuvenator",
     .tooltip = "Adjust the suppression of distortion during loud periods",
     .purpose = "distortion suppression in loud passages",
     .minimum = 0,
     .maximum = 10,
     .defaultValue = 5},
    {.slider = Slider::Gain,
     .field = &RestorationSettings::output_gain_db,
     .key = "Gain",
     .option = "gain",
     .group = "Output Level (dB)",
     .tooltip = "Adjust the level of the output",
     .purpose = "the level of the output",
     .minimum = -12,
     .maximum = 12,
     .defaultValue = 0},
    {.slider = Slider::Rumble,
     .field = &RestorationSettings::rumble_hz,
     .key = "Rumble",
     .option = "rumble",
     .group = "Rumble Filter (Hz)",
     .tooltip = "Set the rumble frequency to be removed",
     .purpose = "removes what lies below this frequency",
     .minimum = 10,
     .maximum = 120,
     .defaultValue = 40},
    {.slider = Slider::Hiss,
     .field = &RestorationSettings::hiss_khz,
     .key = "Hiss",
     .option = "hiss",
     .group = "Hiss Filter (kHz)",
     .tooltip = "Set the highest frequency to be retained",
     // \x1f: a space the help text does not break a line at.
     .purpose = "the highest frequency kept; at 44.1\x1fkHz, 21 and above turn the filter off",
     .minimum = 4,
     .maximum = 24,
     .defaultValue = 18},
    {.slider = Slider::Bass,
     .field = &RestorationSettings::bass_lift_db,
     .key = "Bass",
     .option = "bass",
     .group = "Bass Lift (dB)",
     .tooltip = "Adjust the bass lift",
     .purpose = "a shelf at 300 Hz",
     .minimum = -18,
     .maximum = 18,
     .defaultValue = 0},
    {.slider = Slider::Treble,
     .field = &RestorationSettings::treble_lift_db,
     .key = "Treble",
     .option = "treble",
     .group = "Treble Lift (dB)",
     .tooltip = "Adjust the treble lift",
     .purpose = "a shelf at 3.5 kHz",
     .minimum = -18,
     .maximum = 18,
     .defaultValue = 0},
    {.slider = Slider::Duration,
     .field = &RestorationSettings::preview_seconds,
     .key = "Duration",
     .option = "preview-time",
     .group = "Preview Time (s)",
     .tooltip = "Adjust the duration of the preview samples",
     .purpose = "how many seconds of each file --preview plays",
     .minimum = 10,
     .maximum = 60,
     .defaultValue = 20},
}};

constexpr const SliderRange& RangeOf(Slider slider) {
    return kSliderRanges[static_cast<int>(slider)];
}

constexpr bool TableFollowsSliderOrder() {
    for (int i = 0; i < kSliderCount; ++i) {
        if (kSliderRanges[i].slider != static_cast<Slider>(i)) return false;
    }
    return true;
}
static_assert(TableFollowsSliderOrder());

constexpr int DefaultOf(Slider slider) {
    return RangeOf(slider).defaultValue;
}

// A value raised to the slider's minimum or lowered to its maximum.
constexpr int ClampToRange(Slider slider, int value) {
    const SliderRange& r = RangeOf(slider);
    return value < r.minimum ? r.minimum : (value > r.maximum ? r.maximum : value);
}

// The five answers of the last accepted wizard, -1 where none was stored.
struct WizardAnswers {
    int category = -1;
    int playback = -1;
    int hissiness = -1;
    int scratchiness = -1;
    int roughness = -1;
};

}  // namespace sonorel
