#pragma once
// The settings wizard's layout: five radio boxes that ask about the record
// (its category, the playback equalisation of the transfer, hiss, clicks and
// wear) above an OK / Cancel / Help row. It keeps a pointer to each control;
// the dialog owns them. Preselecting stored answers and the Help button's
// behaviour live in MyEventPresets.

#include <wx/dialog.h>

class wxButton;
class wxRadioBox;
class wxSizer;

namespace sonorel {

inline constexpr int ID_WIZARD_DIALOG = 1000;
inline constexpr int ID_WIZARD_HELP_BUTTON = 1005;

inline constexpr const char* kWizardTitle = "Sonorel Settings Wizard";

// The category box shows its 24 choices in columns of this many rows.
inline constexpr int kCategoryRows = 8;

class PresetsDialog : public wxDialog {
  public:
    PresetsDialog(wxWindow* parent, wxWindowID id = ID_WIZARD_DIALOG,
                  const wxString& title = wxEmptyString, const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize, long style = wxDEFAULT_DIALOG_STYLE);
    ~PresetsDialog() override;

    wxRadioBox* category_radio = nullptr;
    wxRadioBox* playback_radio = nullptr;
    wxRadioBox* hiss_radio = nullptr;
    wxRadioBox* clicks_radio = nullptr;
    wxRadioBox* wear_radio = nullptr;
    wxButton* ok_button = nullptr;
    wxButton* cancel_button = nullptr;
    wxButton* wizard_help_button = nullptr;

  private:
    wxSizer* BuildQuestionRow();
    wxSizer* BuildButtonRow();
};

}  // namespace sonorel
