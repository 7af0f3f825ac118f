#pragma once
// The settings wizard as the main window shows it: the layout of
// PresetsDialog with the stored answers preselected, and the Help button.
// OK and Cancel are the toolkit's own: they end the modal loop with wxID_OK
// and wxID_CANCEL, as does the close box (wxID_CANCEL).

#include "settings/restoration_settings.h"
#include "wizard/presets_dialog.h"

namespace sonorel {

class MyEventPresets : public PresetsDialog {
  public:
    // Each stored answer that lies within its question's choices is
    // selected; any other (-1 for never answered, or a stray value from the
    // settings file) leaves that question at its first-use selection.
    MyEventPresets(wxWindow* parent, const WizardAnswers& stored);

    // The five selections as they stand.
    WizardAnswers Answers() const;

  private:
    void OnPresetsHelp(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};

}  // namespace sonorel
