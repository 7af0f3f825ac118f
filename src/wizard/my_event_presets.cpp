#include "wizard/my_event_presets.h"

#include <wx/accel.h>
#include <wx/radiobox.h>

#include "resources/help_book.h"
#include "wizard/wizard_help.h"

namespace sonorel {

namespace {

void SelectIfInRange(wxRadioBox* question, int answer) {
    if (answer >= 0 && answer < static_cast<int>(question->GetCount())) {
        question->SetSelection(answer);
    }
}

}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(MyEventPresets, PresetsDialog)
    EVT_BUTTON(ID_WIZARD_HELP_BUTTON, MyEventPresets::OnPresetsHelp)
    // F1, as in the main window.
    EVT_MENU(ID_WIZARD_HELP_BUTTON, MyEventPresets::OnPresetsHelp)
wxEND_EVENT_TABLE()
    // clang-format on

    MyEventPresets::MyEventPresets(wxWindow* parent, const WizardAnswers& stored)
    : PresetsDialog(parent, ID_WIZARD_DIALOG, kWizardTitle) {
    SelectIfInRange(category_radio, stored.category);
    SelectIfInRange(playback_radio, stored.playback);
    SelectIfInRange(hiss_radio, stored.hissiness);
    SelectIfInRange(clicks_radio, stored.scratchiness);
    SelectIfInRange(wear_radio, stored.roughness);
    const wxAcceleratorEntry help(wxACCEL_NORMAL, WXK_F1, ID_WIZARD_HELP_BUTTON);
    SetAcceleratorTable(wxAcceleratorTable(1, &help));
}

WizardAnswers MyEventPresets::Answers() const {
    return {.category = category_radio->GetSelection(),
            .playback = playback_radio->GetSelection(),
            .hissiness = hiss_radio->GetSelection(),
            .scratchiness = clicks_radio->GetSelection(),
            .roughness = wear_radio->GetSelection()};
}

// The wizard stays open underneath; its answers are kept while the user reads.
void MyEventPresets::OnPresetsHelp(wxCommandEvent&) {
    ShowWizardHelp(this, kWizardHelpTopic);
}

}  // namespace sonorel
