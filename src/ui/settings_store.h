#pragma once
// The configuration file: nineteen keys in the root group of Sonorel.conf
// (in $XDG_CONFIG_HOME, normally ~/.config), read once when the main window
// is built and written once when it is destroyed. Slider values, the
// Function index and the wizard answers are decimal integers, the two check
// boxes 1 or 0, the two folders plain text. The window's place and size are
// kept beside them (window_geometry.h).

#include <array>
#include <memory>
#include <optional>

#include <wx/string.h>

#include "settings/restoration_settings.h"

class wxConfigBase;
class wxFileConfig;

namespace sonorel {

// The order of the slider keys in the file.
inline constexpr std::array<Slider, kSliderCount> kStoredSliderOrder{
    Slider::Click, Slider::Noise,  Slider::Distortion, Slider::Bass, Slider::Treble,
    Slider::Hiss,  Slider::Rumble, Slider::Duration,   Slider::Gain,
};

inline constexpr const char* kFunctionKey = "Function";
inline constexpr const char* kPhasingKey = "Phasing";
inline constexpr const char* kOriginalKey = "Original";
// Beyond the nineteen keys of the original file: the restoration method.
inline constexpr const char* kMethodKey = "Method";
// ... and what Go! keeps (kept_records.h), 1 or 0 like the check boxes.
inline constexpr const char* kPictureKey = "Picture";
inline constexpr const char* kReportKey = "Report";
inline constexpr const char* kAlignKey = "Align";
inline constexpr const char* kMetadataKey = "Metadata";
// Whether Go! ends with the batch summary (my_event_summary.h).
inline constexpr const char* kSummaryKey = "Summary";
struct WizardAnswerKey {
    const char* key;
    int WizardAnswers::*answer;
};
inline constexpr std::array<WizardAnswerKey, 5> kWizardAnswerKeys{{
    {"Category", &WizardAnswers::category},
    {"Playback", &WizardAnswers::playback},
    {"Hissiness", &WizardAnswers::hissiness},
    {"Scratchiness", &WizardAnswers::scratchiness},
    {"Roughness", &WizardAnswers::roughness},
}};
inline constexpr const char* kInputFolderKey = "Input";
inline constexpr const char* kOutputFolderKey = "Output";

// The user's file together with the system-wide one, values taken literally
// (no $VARIABLE expansion, so a folder name keeps every character).
std::unique_ptr<wxFileConfig> OpenSettingsFile();

// Where the user's file is written.
wxString SettingsFilePath();

// An integer, or nothing when the key is missing or its text is not a
// whole decimal number.
std::optional<long> ReadInteger(const wxConfigBase& config, const wxString& key);

// A text, or nothing when the key is missing.
std::optional<wxString> ReadText(const wxConfigBase& config, const wxString& key);

}  // namespace sonorel
