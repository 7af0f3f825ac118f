#include "ui/named_presets.h"

#include <algorithm>
#include <vector>

#include <wx/config.h>
#include <wx/tokenzr.h>

namespace sonorel {

namespace {

constexpr std::size_t kFieldCount = kSliderCount + 3;

}  // namespace

wxString PresetText(const RestorationSettings& settings) {
    wxString text;
    for (const SliderRange& range : kSliderRanges)
        text << settings.Get(range.slider) << ' ';
    text << static_cast<int>(settings.channel_function) << ' ' << int{settings.anti_phase} << ' '
         << int{settings.keep_original_level};
    return text;
}

std::optional<RestorationSettings> PresetFromText(const wxString& text) {
    std::vector<long> values;
    wxStringTokenizer words(text, " ");
    while (words.HasMoreTokens()) {
        long value = 0;
        if (!words.GetNextToken().ToLong(&value)) return std::nullopt;
        values.push_back(value);
    }
    if (values.size() != kFieldCount) return std::nullopt;
    RestorationSettings settings;
    std::size_t i = 0;
    for (const SliderRange& range : kSliderRanges) {
        settings.Set(range.slider,
                     static_cast<int>(std::clamp<long>(values[i++], range.minimum, range.maximum)));
    }
    settings.channel_function =
        values[i++] == 1 ? ChannelFunction::VocalRemover : ChannelFunction::MonoEnhancer;
    settings.anti_phase = values[i++] != 0;
    settings.keep_original_level = values[i++] != 0;
    return settings;
}

NamedPresets ReadPresets(wxConfigBase& config) {
    NamedPresets presets;
    const wxString oldPath = config.GetPath();
    config.SetPath(wxString("/") + kPresetsGroup);
    wxString name;
    long cookie = 0;
    for (bool more = config.GetFirstEntry(name, cookie); more;
         more = config.GetNextEntry(name, cookie)) {
        if (!IsPresetName(name)) continue;
        if (const auto settings = PresetFromText(config.Read(name, wxString())))
            presets[name] = *settings;
    }
    config.SetPath(oldPath);
    return presets;
}

void WritePresets(wxConfigBase& config, const NamedPresets& presets) {
    const wxString oldPath = config.GetPath();
    config.SetPath(wxString("/") + kPresetsGroup);
    for (const auto& [name, settings] : presets)
        config.Write(name, PresetText(settings));
    config.SetPath(oldPath);
}

bool IsPresetName(const wxString& name) {
    wxString trimmed = name;
    trimmed.Trim(true).Trim(false);
    return !trimmed.empty() && trimmed == name && !name.Contains("/");
}

}  // namespace sonorel
