#include "settings/restoration_settings.h"

#include <cmath>

namespace sonorel {

namespace {

// (value - minimum) / (maximum - minimum), in single precision.
float Strength(Slider s, int value) {
    const SliderRange& r = RangeOf(s);
    return static_cast<float>(value - r.minimum) / static_cast<float>(r.maximum - r.minimum);
}

}  // namespace

int RestorationSettings::Get(Slider s) const {
    switch (s) {
        case Slider::Click:
            return click_level;
        case Slider::Noise:
            return noise_level;
        case Slider::Distortion:
            return distortion_level;
        case Slider::Gain:
            return output_gain_db;
        case Slider::Rumble:
            return rumble_hz;
        case Slider::Hiss:
            return hiss_khz;
        case Slider::Bass:
            return bass_lift_db;
        case Slider::Treble:
            return treble_lift_db;
        case Slider::Duration:
            return preview_seconds;
    }
    return 0;
}

void RestorationSettings::Set(Slider s, int value) {
    switch (s) {
        case Slider::Click:
            click_level = value;
            break;
        case Slider::Noise:
            noise_level = value;
            break;
        case Slider::Distortion:
            distortion_level = value;
            break;
        case Slider::Gain:
            output_gain_db = value;
            break;
        case Slider::Rumble:
            rumble_hz = value;
            break;
        case Slider::Hiss:
            hiss_khz = value;
            break;
        case Slider::Bass:
            bass_lift_db = value;
            break;
        case Slider::Treble:
            treble_lift_db = value;
            break;
        case Slider::Duration:
            preview_seconds = value;
            break;
    }
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
    return p;
}

}  // namespace sonorel
