// Named presets: saved under a name, chosen, deleted, and kept in the
// settings file's "Presets" group from one run to the next.

#include <fstream>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/slider.h>
#include <wx/textdlg.h>

#include "gui_fixture.h"
#include "run_test_support.h"

namespace sonorel::test {
namespace {

class PresetsTest : public MainWindowTest {
  protected:
    void SaveAs(const wxString& name) {
        DialogAnswers answers;
        answers.Expect([name](wxDialog* dialog) {
            auto* ask = dynamic_cast<wxTextEntryDialog*>(dialog);
            EXPECT_NE(ask, nullptr) << dialog->GetTitle();
            if (ask == nullptr) return static_cast<int>(wxID_CANCEL);
            ask->SetValue(name);
            return static_cast<int>(wxID_OK);
        });
        Click(frame->save_preset_button);
    }
    void Choose(const wxString& name) {
        ASSERT_TRUE(frame->preset_choice->SetStringSelection(name)) << name;
        wxCommandEvent chosen(wxEVT_LISTBOX, frame->preset_choice->GetId());
        chosen.SetEventObject(frame->preset_choice);
        chosen.SetString(name);
        frame->preset_choice->GetEventHandler()->ProcessEvent(chosen);
    }
    std::vector<wxString> Names() const {
        const wxArrayString names = frame->preset_choice->GetStrings();
        return {names.begin(), names.end()};
    }
};

TEST_F(PresetsTest, SavedChosenDeletedAndKeptInTheirGroup) {
    // A value that is not twelve numbers is passed over.
    WriteSettings("[Presets]\nbroken=1 2 3\n");
    Open();
    frame->click_slider->SetValue(7);
    frame->hiss_slider->SetValue(10);
    frame->phasing_check->SetValue(true);
    const RestorationSettings worn = frame->ReadSettings();
    SaveAs("78 worn");
    frame->click_slider->SetValue(2);
    frame->phasing_check->SetValue(false);
    SaveAs("LP");
    EXPECT_EQ(Names(), (std::vector<wxString>{"78 worn", "LP"}));

    Choose("78 worn");
    EXPECT_EQ(PresetText(frame->ReadSettings()), PresetText(worn));
    Choose("LP");
    DialogAnswers answers;
    answers.Expect(MessageBox("Delete this preset?\nLP", "Delete Preset",
                              wxOK | wxCANCEL | wxICON_QUESTION, wxID_OK));
    Click(frame->delete_preset_button);
    EXPECT_EQ(Names(), std::vector<wxString>{"78 worn"});
    EXPECT_FALSE(frame->delete_preset_button->IsEnabled());

    CloseAndDestroy();
    Open();
    EXPECT_EQ(Names(), std::vector<wxString>{"78 worn"});
    Choose("78 worn");
    EXPECT_EQ(PresetText(frame->ReadSettings()), PresetText(worn));
    CloseAndDestroy();
    // The twelve numbers in record order: click 7 ... hiss 10 ..., anti-phase on.
    const auto keys = ReadSettingsKeys();
    // The file escapes the space of the name.
    ASSERT_EQ(keys.count("78\\ worn"), 1u) << std::ifstream(SettingsPath()).rdbuf();
    EXPECT_EQ(keys.at("78\\ worn"), "7 5 5 0 40 10 0 0 20 0 1 0");
}

}  // namespace
}  // namespace sonorel::test
