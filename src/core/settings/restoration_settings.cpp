#include "settings/restoration_settings.h"

#include <cmath>

namespace sonorel {

namespace {

// (value - minimum) / (maximum - minimum), in single precision.
float Strength(Slider slider, int value) {
    const SliderRange& r = RangeOf(slider);
    return static_cast<float>(value - r.minimum) / static_cast<float>(r.maximum - r.minimum);
}

}  // namespace

int RestorationSettings::Get(Slider slider) const {
    return this->*RangeOf(slider).field;
}

void RestorationSettings::Set(Slider slider, int value) {
    this->*RangeOf(slider).field = value;
}

RunParameters RestorationSettings::Convert() const {
    RunParameters p;
    p.clickAmount = Strength(Slider::Click, click_level);
    p.noiseAmount = Strength(Slider::Noise, noise_level);
    p.distortionAmount = Strength(Slider::Distortion, distortion_level);
    p.outputGain = static_cast<float>(std::pow(10.0, 0.05 * output_gain_db));
    p.hissHz = static_cast<std::uint32_t>(1000 * hiss_khz);
    p.rumbleHz = static_cast<std::uint32_t>(rumble_hz);
    p.bassLiftDb = bass_lift_db;
    p.trebleLiftDb = treble_lift_db;
    p.previewSeconds = preview_seconds;
    p.channelFunction = channel_function;
    p.antiPhase = anti_phase;
    p.keepOriginalLevel = keep_original_level;
    p.method = method;
    return p;
}

}  // namespace sonorel
