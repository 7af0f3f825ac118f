#include "settings/presets.h"
#include "ui/my_event_frame.h"
#include "wizard/my_event_presets.h"

namespace sonorel {

// The wizard: asks its five questions and, on OK, remembers the answers and
// shows the settings their preset makes of the current ones: eight sliders
// and the anti-phase box change; Preview Time, Function and Keep Original
// Signal Level are not the wizard's business and stay as they are. Cancel
// changes nothing.
void MyEventFrame::OnWizard(wxCommandEvent&) {
    MyEventPresets wizard(this, wizard_answers);
    if (wizard.ShowModal() != wxID_OK) return;

    // The category is remembered even if it cannot be used.
    const WizardAnswers answers = wizard.Answers();
    wizard_answers.category = answers.category;
    if (answers.category < 0 || answers.category >= kPresetCount) return;
    wizard_answers = answers;

    RestorationSettings settings = ReadSettings();
    ApplyPreset(wizard_answers, settings);
    ShowSettings(settings);
    UpdateStatus();
}

}  // namespace sonorel
