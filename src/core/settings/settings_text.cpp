#include "settings/settings_text.h"

namespace sonorel {

std::string DescribeSettings(const RestorationSettings& settings) {
    std::string text;
    for (const SliderRange& r : kSliderRanges) {
        if (r.slider == Slider::Duration) continue;
        text += std::string(r.option) + " " + std::to_string(settings.Get(r.slider)) + ", ";
    }
    text += settings.channel_function == ChannelFunction::VocalRemover ? "function vocal"
                                                                       : "function mono";
    text += settings.anti_phase ? ", anti-phase on" : ", anti-phase off";
    text += settings.keep_original_level ? ", keep-level on" : ", keep-level off";
    // Named only when it is not the default, so that a classic output's
    // coding history reads as it always did.
    if (settings.method == RestorationMethod::Enhanced) text += ", method enhanced";
    return text;
}

}  // namespace sonorel
