#include <wx/checkbox.h>
#include <wx/radiobox.h>

#include "settings/presets.h"
#include "ui/my_event_frame.h"
#include "wizard/my_event_presets.h"
#include "wizard/set_clamped.h"

namespace sonorel {

// The wizard: asks its five questions and, on OK, remembers the answers and
// sets eight sliders and the anti-phase box from the preset they choose.
// Preview Time, Function and Keep Original Signal Level are not the
// wizard's business and stay as they are. Cancel changes nothing.
void MyEventFrame::OnWizard(wxCommandEvent&) {
    MyEventPresets wizard(this, StoredWizardAnswers());
    if (wizard.ShowModal() != wxID_OK) return;

    // The category is remembered even if it cannot be used.
    wizard_category = wizard.category_radio->GetSelection();
    if (wizard_category < 0 || wizard_category >= kPresetCount) return;
    wizard_playback = wizard.playback_radio->GetSelection();
    wizard_hissiness = wizard.hiss_radio->GetSelection();
    wizard_scratchiness = wizard.clicks_radio->GetSelection();
    wizard_roughness = wizard.wear_radio->GetSelection();

    const PresetValues preset = ComputePreset(StoredWizardAnswers());
    SetClamped(click_slider, preset.click_level);
    SetClamped(noise_slider, preset.noise_level);
    SetClamped(distortion_slider, preset.distortion_level);
    SetClamped(bass_slider, preset.bass_lift_db);
    SetClamped(treble_slider, preset.treble_lift_db);
    SetClamped(hiss_slider, preset.hiss_khz);
    SetClamped(rumble_slider, preset.rumble_hz);
    SetClamped(gain_slider, preset.output_gain_db);
    phasing_check->SetValue(preset.anti_phase);

    UpdateStatus();
}

}  // namespace sonorel
