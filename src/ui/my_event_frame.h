#pragma once
// The main window's behaviour on top of its layout: the static event table
// and its handlers, the configuration file, the five stored wizard answers
// and the two flags of the status line.
//
// Construction: layout and Fit, minimum size, icon, settings loaded, drop
// target, first status refresh, focus in the output folder. Destruction
// saves the settings while every control still exists.

#include <array>
#include <memory>
#include <utility>

#include <wx/timer.h>

#include "settings/restoration_settings.h"
#include "ui/gui_run_observer.h"
#include "ui/help.h"
#include "ui/kept_records.h"
#include "ui/my_event_summary.h"
#include "ui/named_presets.h"
#include "ui/snl_frame.h"
#include "ui/window_geometry.h"

class wxConfigBase;
class wxFileConfig;

namespace sonorel {

class PlaybackOutput;

class MyEventFrame : public snl_frame {
  public:
    MyEventFrame();
    ~MyEventFrame() override;

    // Appends every readable path to the file list; refreshes the status
    // when at least one was added.
    void AddFiles(const wxArrayString& paths);

    // One entry at the end of the file list, unchecked; shown by its file
    // name first (file_list_text.h).
    void AppendInputFile(const wxString& path);
    // The full path that entry `entry` of the file list stands for.
    wxString InputPath(unsigned entry) const;

    // The status line, Preview, Go!, Remove All, the focus and the default
    // button follow whether there are files and an output folder.
    void UpdateStatus();

    // The twelve settings as the controls hold them now.
    RestorationSettings ReadSettings() const;

    // Sets the twelve controls to `settings`; slider values are clamped to
    // the sliders' ranges.
    void ShowSettings(const RestorationSettings& settings);

    // What Go! keeps, as the Records group holds it now.
    RecordChoices ReadRecordChoices() const;

    // The output folder exactly as typed or chosen ("." means beside each input).
    wxString OutputFolder() const;

    HelpBook& Help() { return help_book; }

    // The answers of the last accepted wizard, -1 for none.
    WizardAnswers wizard_answers;

    // Left unset by the program; tests and tools set them. Where Preview
    // plays (nullptr: the default sound output; not owned), and a call with
    // the open progress dialog before each of its moves.
    PlaybackOutput* preview_output = nullptr;
    ProgressHook progress_hook;
    // How the batch summary opens a folder or a picture.
    OpenWithDesktop open_with_desktop = OpenWithDefaultProgram;

  private:
    // The Records check boxes with their keys in the configuration file.
    std::array<std::pair<const char*, wxCheckBox*>, 5> RecordChecks() const;
    void LoadSettings();
    void SaveSettings();
    void RestoreWindowGeometry(const wxConfigBase& settingsFile);
    void KeepPlaceWhileMapping(const wxPoint& place, bool maximize);
    WindowGeometry CurrentWindowGeometry() const;
    void EnableSelectionButtons();
    // The keyboard focus in the output folder, its text kept whole.
    void FocusOutputFolder();
    // The tooltip of the row under the pointer is its full path.
    void OnListMotion(wxMouseEvent& event);
    void OnListLeave(wxMouseEvent& event);

    void OnAddFiles(wxCommandEvent& event);
    void OnDeselectAll(wxCommandEvent& event);
    void OnRemove(wxCommandEvent& event);
    void OnRemoveAll(wxCommandEvent& event);
    void OnBrowse(wxCommandEvent& event);
    void OnOutputFolderChanged(wxCommandEvent& event);
    void OnListSelect(wxCommandEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnExit(wxCommandEvent& event);
    void OnWizard(wxCommandEvent& event);
    void OnPreview(wxCommandEvent& event);
    void OnStart(wxCommandEvent& event);
    void OnPresetChosen(wxCommandEvent& event);
    void OnSavePreset(wxCommandEvent& event);
    void OnDeletePreset(wxCommandEvent& event);
    // The choice lists the presets' names, `chosen` selected (if given).
    void ShowPresetNames(const wxString& chosen);

    NamedPresets presets;  // read with the settings, written with them

    int tooltip_entry = wxNOT_FOUND;  // the row whose path the tooltip shows

    // What the last applied status refresh showed.
    bool had_files = false;
    bool had_output = false;

    std::unique_ptr<wxFileConfig> config;
    wxRect normal_rect;   // where a stored place put the window, if one did
    wxTimer place_timer;  // see KeepPlaceWhileMapping
    HelpBook help_book{this};

    wxDECLARE_EVENT_TABLE();
};

}  // namespace sonorel
