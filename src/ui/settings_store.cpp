#include "ui/settings_store.h"

#include <algorithm>
#include <limits>

#include <wx/checkbox.h>
#include <wx/fileconf.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/radiobox.h>
#include <wx/slider.h>
#include <wx/textctrl.h>
#include <wx/wfstream.h>

#include "settings/product.h"
#include "ui/my_event_frame.h"

namespace sonorel {

namespace {

constexpr long kConfigStyle = wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_GLOBAL_FILE;

wxString KeyOf(Slider which) {
    const std::string_view key = RangeOf(which).key;
    return wxString::FromUTF8(key.data(), key.size());
}

}  // namespace

std::unique_ptr<wxFileConfig> OpenSettingsFile() {
    auto config = std::make_unique<wxFileConfig>(kProductName, wxEmptyString, wxEmptyString,
                                                 wxEmptyString, kConfigStyle);
    config->SetExpandEnvVars(false);
    return config;
}

wxString SettingsFilePath() {
    return wxFileConfig::GetLocalFile(kProductName, kConfigStyle).GetFullPath();
}

std::optional<long> ReadInteger(const wxConfigBase& config, const wxString& key) {
    const std::optional<wxString> text = ReadText(config, key);
    long value = 0;
    if (!text || !text->Strip(wxString::both).ToLong(&value)) return std::nullopt;
    return value;
}

std::optional<wxString> ReadText(const wxConfigBase& config, const wxString& key) {
    wxString text;
    if (!config.Read(key, &text)) return std::nullopt;
    return text;
}

// Settings problems never produce a message: the toolkit's own log
// messages (an unreadable file, a folder that is gone) are silenced here.
void MyEventFrame::LoadSettings() {
    wxLogNull quiet;
    config = OpenSettingsFile();
    if (!config) {
        had_output = false;
        return;
    }

    for (const Slider which : kStoredSliderOrder) {
        if (const std::optional<long> value = ReadInteger(*config, KeyOf(which))) {
            const SliderRange& range = RangeOf(which);
            const long clamped = std::clamp<long>(*value, range.minimum, range.maximum);
            SliderFor(which)->SetValue(static_cast<int>(clamped));
        }
    }
    // Any non-zero number counts as ticked.
    if (const std::optional<long> value = ReadInteger(*config, kPhasingKey)) {
        phasing_check->SetValue(*value != 0);
    }
    if (const std::optional<long> value = ReadInteger(*config, kOriginalKey)) {
        original_check->SetValue(*value != 0);
    }
    if (const std::optional<long> value = ReadInteger(*config, kFunctionKey)) {
        if (*value >= 0 && *value < static_cast<long>(function_radio->GetCount())) {
            function_radio->SetSelection(static_cast<int>(*value));
        }
    }

    if (const std::optional<long> value = ReadInteger(*config, kMethodKey)) {
        if (*value >= 0 && *value < static_cast<long>(method_radio->GetCount())) {
            method_radio->SetSelection(static_cast<int>(*value));
        }
    }

    for (const auto& [key, check] : RecordChecks()) {
        if (const std::optional<long> value = ReadInteger(*config, key))
            check->SetValue(*value != 0);
    }

    // Answers are kept as read, even out of range; the wizard ignores those.
    // A number too large for an answer counts as not a number.
    for (const WizardAnswerKey& stored : kWizardAnswerKeys) {
        const std::optional<long> value = ReadInteger(*config, stored.key);
        const bool fits = value && *value >= std::numeric_limits<int>::min() &&
                          *value <= std::numeric_limits<int>::max();
        wizard_answers.*stored.answer = fits ? static_cast<int>(*value) : -1;
    }

    // A folder that cannot be entered leaves the working directory alone.
    const std::optional<wxString> input = ReadText(*config, kInputFolderKey);
    if (input && !input->empty()) wxSetWorkingDirectory(*input);

    // SetValue raises the text's change notification, and with it a status
    // refresh, as an edit would.
    const std::optional<wxString> output = ReadText(*config, kOutputFolderKey);
    if (output && !output->empty()) {
        output_text->SetValue(*output);
        had_output = true;
    } else {
        had_output = false;
    }
    RestoreWindowGeometry(*config);
    presets = ReadPresets(*config);
    ShowPresetNames(wxString());
}

// Every key is written at every exit, changed or not: the file is rebuilt
// from the controls rather than updated, so keys that came from the
// system-wide file or that the user deleted are written too. It is written
// to a temporary file and renamed, so a failed write leaves the old one whole.
void MyEventFrame::SaveSettings() {
    if (!config) return;
    wxLogNull quiet;

    wxMemoryInputStream nothing(nullptr, 0);
    wxFileConfig out(nothing, wxConvUTF8);
    out.SetExpandEnvVars(false);
    for (const Slider which : kStoredSliderOrder) {
        out.Write(KeyOf(which), static_cast<long>(SliderFor(which)->GetValue()));
    }
    out.Write(kFunctionKey, static_cast<long>(function_radio->GetSelection()));
    out.Write(kPhasingKey, phasing_check->GetValue());
    out.Write(kOriginalKey, original_check->GetValue());
    out.Write(kMethodKey, static_cast<long>(method_radio->GetSelection()));
    for (const auto& [key, check] : RecordChecks())
        out.Write(key, check->GetValue());
    for (const WizardAnswerKey& stored : kWizardAnswerKeys) {
        out.Write(stored.key, static_cast<long>(wizard_answers.*stored.answer));
    }
    out.Write(kOutputFolderKey, output_text->GetValue());
    out.Write(kInputFolderKey, wxGetCwd());
    WriteWindowGeometry(out, CurrentWindowGeometry());
    WritePresets(out, presets);
    config.reset();

    // A first run may find no configuration folder yet.
    const wxFileName path(SettingsFilePath());
    if (!path.DirExists()) wxFileName::Mkdir(path.GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    wxTempFileOutputStream file(path.GetFullPath());
    if (file.IsOk() && out.Save(file, wxConvUTF8)) file.Commit();
}

}  // namespace sonorel
