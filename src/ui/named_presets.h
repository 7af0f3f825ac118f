#pragma once
// Named presets: the twelve settings saved under a name the user gives,
// kept in the settings file as one extra group, "Presets", with one key per
// name. Each value is the twelve numbers in the order of the settings
// record (the nine sliders, Function, Anti-Phase, Keep Original Signal
// Level), separated by spaces: "5 5 5 0 40 18 0 0 20 0 0 0".

#include <map>
#include <optional>

#include <wx/string.h>

#include "settings/restoration_settings.h"

class wxConfigBase;

namespace sonorel {

inline constexpr const char* kPresetsGroup = "Presets";

using NamedPresets = std::map<wxString, RestorationSettings>;

wxString PresetText(const RestorationSettings& settings);
// Nothing when the text is not twelve whole numbers; slider values are
// clamped to their ranges, and any non-zero option counts as ticked.
std::optional<RestorationSettings> PresetFromText(const wxString& text);

// Every readable preset of the group; unreadable ones are left out.
NamedPresets ReadPresets(wxConfigBase& config);
void WritePresets(wxConfigBase& config, const NamedPresets& presets);

// A name may be stored when it is not empty once trimmed and holds no '/'
// (the settings file's group separator).
bool IsPresetName(const wxString& name);

}  // namespace sonorel
