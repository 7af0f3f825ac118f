// Named presets: choose one, save the current settings under a name, delete
// the chosen one. The wizard is not involved.

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/textdlg.h>

#include "ui/my_event_frame.h"

namespace sonorel {

void MyEventFrame::ShowPresetNames(const wxString& chosen) {
    preset_choice->Clear();
    for (const auto& [name, settings] : presets)
        preset_choice->Append(name);
    // GTK keeps a row of a single-choice list selected once there is one;
    // none is shown chosen unless asked.
    if (chosen.empty() || !preset_choice->SetStringSelection(chosen))
        preset_choice->SetSelection(wxNOT_FOUND);
    delete_preset_button->Enable(preset_choice->GetSelection() != wxNOT_FOUND);
}

void MyEventFrame::OnPresetChosen(wxCommandEvent&) {
    const auto found = presets.find(preset_choice->GetStringSelection());
    if (found != presets.end()) ShowSettings(found->second);
    delete_preset_button->Enable(found != presets.end());
}

void MyEventFrame::OnSavePreset(wxCommandEvent&) {
    wxTextEntryDialog ask(this, "Save the current settings as:", "Save Preset",
                          preset_choice->GetStringSelection());
    if (ask.ShowModal() != wxID_OK) return;
    const wxString name = wxString(ask.GetValue()).Trim(true).Trim(false);
    if (!IsPresetName(name)) {
        wxMessageBox("A preset needs a name without \"/\".\n" + ask.GetValue(), "Save Preset",
                     wxOK | wxICON_EXCLAMATION, this);
        return;
    }
    if (presets.count(name) > 0 &&
        wxMessageBox("Replace the preset of this name?\n" + name, "Save Preset",
                     wxYES_NO | wxICON_QUESTION, this) != wxYES) {
        return;
    }
    presets[name] = ReadSettings();
    ShowPresetNames(name);
}

void MyEventFrame::OnDeletePreset(wxCommandEvent&) {
    const wxString name = preset_choice->GetStringSelection();
    if (presets.count(name) == 0) return;
    if (wxMessageBox("Delete this preset?\n" + name, "Delete Preset",
                     wxOK | wxCANCEL | wxICON_QUESTION, this) != wxOK) {
        return;
    }
    presets.erase(name);
    ShowPresetNames(wxString());
    // The button that had the focus is disabled now.
    save_preset_button->SetFocus();
}

}  // namespace sonorel
