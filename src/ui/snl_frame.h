#pragma once
// The main window's layout: the frame, its one-field status bar, every
// control in id order (see control_ids.h) with its label, range, default,
// style, tooltip and initial state, and the sizer tree. It keeps a pointer to
// each control; the frame owns them. Behaviour lives in MyEventFrame.

#include <wx/frame.h>
#include <wx/sizer.h>

#include "settings/restoration_settings.h"

class wxBitmapButton;
class wxButton;
class wxCheckBox;
class wxHyperlinkCtrl;
class wxListBox;
class wxRadioBox;
class wxSizer;
class wxStaticBox;
class wxSlider;
class wxStatusBar;
class wxTextCtrl;

namespace sonorel {

class snl_frame : public wxFrame {
  public:
    snl_frame(const wxString& title, const wxSize& size);

    // The slider of one of the nine slider settings.
    wxSlider* SliderFor(Slider which) const;

    wxStatusBar* status_line = nullptr;
    wxSlider* click_slider = nullptr;
    wxSlider* noise_slider = nullptr;
    wxSlider* distortion_slider = nullptr;
    wxSlider* gain_slider = nullptr;
    wxSlider* rumble_slider = nullptr;
    wxSlider* hiss_slider = nullptr;
    wxSlider* bass_slider = nullptr;
    wxSlider* treble_slider = nullptr;
    wxSlider* duration_slider = nullptr;
    wxRadioBox* function_radio = nullptr;
    wxCheckBox* phasing_check = nullptr;
    wxCheckBox* original_check = nullptr;
    wxRadioBox* method_radio = nullptr;
    wxBoxSizer* options_row = nullptr;  // Options, then Method
    wxListBox* file_list = nullptr;
    wxStaticBox* input_files_box = nullptr;  // its caption counts the files
    wxButton* add_button = nullptr;
    wxButton* deselect_button = nullptr;
    wxButton* remove_button = nullptr;
    wxButton* remove_all_button = nullptr;
    wxTextCtrl* output_text = nullptr;
    wxBitmapButton* browse_button = nullptr;
    wxHyperlinkCtrl* web_link = nullptr;
    wxBitmapButton* help_button = nullptr;
    wxBitmapButton* info_button = nullptr;
    wxBitmapButton* exit_button = nullptr;
    wxButton* wizard_button = nullptr;
    wxButton* preview_button = nullptr;
    wxButton* go_button = nullptr;
    // Named presets (named_presets.h), below the options.
    wxListBox* preset_choice = nullptr;
    wxButton* save_preset_button = nullptr;
    wxButton* delete_preset_button = nullptr;
    // What Go! keeps beside the outputs (kept_records.h), below the presets.
    wxCheckBox* picture_check = nullptr;
    wxCheckBox* report_check = nullptr;
    wxCheckBox* align_check = nullptr;
    wxCheckBox* metadata_check = nullptr;
    wxCheckBox* summary_check = nullptr;

  private:
    // Each builder creates its controls in id order and returns its sizer.
    wxSizer* BuildLeftColumn();
    wxSizer* BuildSliderGrid();
    wxSizer* BuildSliderGroup(Slider which);
    wxSizer* BuildOptionsGroup();
    wxSizer* BuildRightColumn();
    wxSizer* BuildInputFilesGroup();
    wxSizer* BuildOutputFolderGroup();
    wxSizer* BuildInfoRow();
    wxSizer* BuildCommandRow();
    wxSizer* BuildPresetsGroup();
    wxSizer* BuildRecordsGroup();
};

}  // namespace sonorel
