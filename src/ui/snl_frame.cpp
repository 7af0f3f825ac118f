#include "ui/snl_frame.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/hyperlink.h>
#include <wx/listbox.h>
#include <wx/radiobox.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include "resources/icons.h"
#include "settings/product.h"
#include "ui/accessible_name.h"
#include "ui/control_ids.h"
#include "ui/file_list_text.h"
#include "ui/tooltip.h"

namespace sonorel {

namespace {

constexpr int kBorderPx = 5;

// The control of each slider setting, in the order of Slider.
constexpr std::array<wxSlider * snl_frame::*, kSliderCount> kSliderControls{
    &snl_frame::click_slider, &snl_frame::noise_slider,  &snl_frame::distortion_slider,
    &snl_frame::gain_slider,  &snl_frame::rumble_slider, &snl_frame::hiss_slider,
    &snl_frame::bass_slider,  &snl_frame::treble_slider, &snl_frame::duration_slider,
};

wxString ToWx(std::string_view text) {
    return wxString::FromUTF8(text.data(), text.size());
}

// A vertical group with a labelled box around it; the box is a sibling of
// the group's controls, created just before them.
wxStaticBoxSizer* NewGroup(wxWindow* parent, const wxString& label) {
    auto* box = new wxStaticBox(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, 0);
    return new wxStaticBoxSizer(box, wxVERTICAL);
}

wxBitmapButton* NewBitmapButton(wxWindow* parent, int id, ButtonIcon icon, const char* tooltip) {
    auto* button =
        new wxBitmapButton(parent, id, ButtonBitmap(icon), wxDefaultPosition, wxDefaultSize, 0);
    SetToolTipInGroup(*button, tooltip);
    // Its only words: what a screen reader says for it.
    SetAccessibleName(*button, tooltip);
    return button;
}

// "&Add": the label reads "Add", and Alt+A presses the button.
wxButton* NewButton(wxWindow* parent, int id, const char* label, const char* tooltip) {
    auto* button = new wxButton(parent, id, label, wxDefaultPosition, wxDefaultSize, 0);
    SetToolTipInGroup(*button, tooltip);
    return button;
}

}  // namespace

snl_frame::snl_frame(const wxString& title, const wxSize& size)
    : wxFrame(nullptr, wxID_ANY, title, wxDefaultPosition, size,
              wxDEFAULT_FRAME_STYLE | wxTAB_TRAVERSAL) {
    SetSizeHints(wxDefaultSize, wxDefaultSize);
    SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    status_line = CreateStatusBar(1, wxST_SIZEGRIP, ID_STATUS_LINE);

    auto* outer = new wxBoxSizer(wxVERTICAL);
    auto* main = new wxBoxSizer(wxHORIZONTAL);
    wxSizer* left = BuildLeftColumn();
    main->Add(left, 0, wxRIGHT, kBorderPx);
    main->Add(BuildRightColumn(), 1, wxEXPAND | wxLEFT, kBorderPx);
    // Created after every stated control, so that ids and the Tab order
    // keep their places; shown below the options.
    left->Add(BuildPresetsGroup(), 0, wxEXPAND, kBorderPx);
    outer->Add(main, 1, wxEXPAND | wxALL, kBorderPx);

    // The Method choice sits beside Options. It is created after every
    // original control, so that their ids keep their creation order, then
    // moved in the tab order to follow the options, where it sits.
    const wxString methods[] = {"Classic", "Enhanced"};
    method_radio = new wxRadioBox(this, ID_METHOD_RADIO, "Method", wxDefaultPosition, wxDefaultSize,
                                  2, methods, 1, wxRA_SPECIFY_COLS);
    method_radio->SetSelection(static_cast<int>(RestorationMethod::Classic));
    method_radio->SetToolTip(
        "Classic: the original restoration. Enhanced: repairs each wall from the other, "
        "combines the walls by their noise and suppresses the rest");
    method_radio->MoveAfterInTabOrder(original_check);
    options_row->Add(method_radio, 0, wxEXPAND | wxLEFT, kBorderPx);
    left->Add(BuildRecordsGroup(), 0, wxEXPAND, kBorderPx);

    SetSizer(outer);
    Layout();
    outer->Fit(this);
}

wxSlider* snl_frame::SliderFor(Slider which) const {
    return this->*kSliderControls[static_cast<int>(which)];
}

wxSizer* snl_frame::BuildLeftColumn() {
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(BuildSliderGrid(), 0, 0, kBorderPx);
    // Centring is left out here and in the info row below: the toolkit
    // ignores it next to wxEXPAND (or along a row) and asserts on it.
    options_row = new wxBoxSizer(wxHORIZONTAL);
    options_row->Add(BuildOptionsGroup(), 1, wxEXPAND, kBorderPx);
    column->Add(options_row, 0, wxEXPAND, kBorderPx);
    return column;
}

wxSizer* snl_frame::BuildSliderGrid() {
    // Two columns, filled row by row: the nine slider groups, then Function.
    auto* grid = new wxFlexGridSizer(2, 0, kBorderPx);
    for (const SliderRange& range : kSliderRanges) {
        grid->Add(BuildSliderGroup(range.slider), 0, 0, kBorderPx);
    }

    const wxString functions[] = {"Mono Enhancer", "Vocal Remover"};
    function_radio = new wxRadioBox(this, ID_FUNCTION_RADIO, "Function", wxDefaultPosition,
                                    wxDefaultSize, 2, functions, 1, wxRA_SPECIFY_COLS);
    function_radio->SetSelection(static_cast<int>(ChannelFunction::MonoEnhancer));
    function_radio->SetToolTip(
        "Choose whether to enhance or suppress components common to left and right channels");
    grid->Add(function_radio, 0, wxEXPAND | wxALIGN_CENTER_HORIZONTAL, kBorderPx);
    return grid;
}

wxSizer* snl_frame::BuildSliderGroup(Slider which) {
    const SliderRange& range = RangeOf(which);
    wxStaticBoxSizer* group = NewGroup(this, ToWx(range.group));
    auto* slider = new wxSlider(this, ID_CLICK_SLIDER + static_cast<int>(which), range.defaultValue,
                                range.minimum, range.maximum, wxDefaultPosition, wxDefaultSize,
                                wxSL_HORIZONTAL | wxSL_LABELS | wxSL_TOP);
    slider->SetToolTip(ToWx(range.tooltip));
    group->Add(slider, 0, 0, kBorderPx);
    this->*kSliderControls[static_cast<int>(which)] = slider;
    return group;
}

wxSizer* snl_frame::BuildOptionsGroup() {
    wxStaticBoxSizer* group = NewGroup(this, "Options");
    phasing_check = new wxCheckBox(this, ID_PHASING_CHECK, "Anti-Phase Signal Channels",
                                   wxDefaultPosition, wxDefaultSize, 0);
    SetToolTipInGroup(
        *phasing_check,
        "Select only for vertical-cut (\"hill-and-dale\") recordings played on unmodified "
        "(lateral-cut) equipment!");
    group->Add(phasing_check, 0, wxLEFT, kBorderPx);

    original_check = new wxCheckBox(this, ID_ORIGINAL_CHECK, "Keep Original Signal Level",
                                    wxDefaultPosition, wxDefaultSize, 0);
    SetToolTipInGroup(*original_check, "Select to keep output level proportional to input");
    group->Add(original_check, 0, wxTOP | wxBOTTOM | wxLEFT, kBorderPx);
    return group;
}

wxSizer* snl_frame::BuildRightColumn() {
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(BuildInputFilesGroup(), 1, wxEXPAND, kBorderPx);
    column->Add(BuildOutputFolderGroup(), 0, wxEXPAND, kBorderPx);
    column->Add(BuildInfoRow(), 0, wxEXPAND | wxALL, kBorderPx);
    column->Add(BuildCommandRow(), 0, wxALIGN_CENTER_HORIZONTAL, kBorderPx);
    return column;
}

wxSizer* snl_frame::BuildInputFilesGroup() {
    wxStaticBoxSizer* group = NewGroup(this, InputFilesCaption(0));
    input_files_box = group->GetStaticBox();
    file_list = new wxListBox(this, ID_FILE_LIST, wxDefaultPosition, wxDefaultSize, 0, nullptr,
                              wxLB_EXTENDED | wxLB_NEEDED_SB | wxLB_HSCROLL);
    file_list->SetToolTip(kFileListTooltip);
    group->Add(file_list, 1, wxEXPAND | wxLEFT | wxRIGHT, kBorderPx);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    add_button = NewButton(this, ID_ADD_BUTTON, "&Add", "Add file(s) to the list");
    add_button->SetDefault();
    buttons->Add(add_button, 0, 0, kBorderPx);

    deselect_button =
        NewButton(this, ID_DESELECT_BUTTON, "&Deselect All", "Clear all file selection(s)");
    remove_button =
        NewButton(this, ID_REMOVE_BUTTON, "&Remove", "Remove the selected file(s) from the list");
    remove_all_button = NewButton(this, ID_REMOVE_ALL_BUTTON, "Remove A&ll", "Empty the list");
    for (wxButton* button : {deselect_button, remove_button, remove_all_button}) {
        button->Enable(false);
        buttons->Add(button, 0, wxLEFT, kBorderPx);
    }
    group->Add(buttons, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, kBorderPx);
    return group;
}

wxSizer* snl_frame::BuildOutputFolderGroup() {
    wxStaticBoxSizer* group = NewGroup(this, "Output Folder");
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    output_text =
        new wxTextCtrl(this, ID_OUTPUT_TEXT, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0);
    output_text->SetToolTip("Folder to store output files (use \".\" for same as input)");
    row->Add(output_text, 1, wxALIGN_CENTER_VERTICAL, kBorderPx);

    browse_button =
        NewBitmapButton(this, ID_BROWSE_BUTTON, ButtonIcon::Browse, "Browse for output folder");
    row->Add(browse_button, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, kBorderPx);
    group->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, kBorderPx);
    return group;
}

wxSizer* snl_frame::BuildInfoRow() {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    web_link =
        new wxHyperlinkCtrl(this, ID_WEB_LINK, "Visit the Sonorel website", kWebAddress,
                            wxDefaultPosition, wxDefaultSize, wxHL_DEFAULT_STYLE | wxTAB_TRAVERSAL);
    row->Add(web_link, 0, wxALIGN_CENTER_VERTICAL, kBorderPx);
    row->AddStretchSpacer(1);

    help_button = NewBitmapButton(this, ID_HELP_BUTTON, ButtonIcon::Help, "How to use Sonorel");
    row->Add(help_button, 0, wxALIGN_CENTER_VERTICAL, kBorderPx);
    info_button =
        NewBitmapButton(this, ID_INFO_BUTTON, ButtonIcon::Info, "Information about Sonorel");
    row->Add(info_button, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, kBorderPx);
    exit_button = NewBitmapButton(this, ID_EXIT_BUTTON, ButtonIcon::Exit, "Close Sonorel");
    row->Add(exit_button, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, kBorderPx);
    return row;
}

wxSizer* snl_frame::BuildCommandRow() {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    wizard_button =
        NewButton(this, ID_WIZARD_BUTTON, "&Wizard", "Choose from a selection of preset settings");
    row->Add(wizard_button, 0, wxEXPAND, kBorderPx);

    preview_button = NewButton(this, ID_PREVIEW_BUTTON, "&Preview",
                               "Preview the start of each file... there might be a short delay!");
    preview_button->Enable(false);
    row->Add(preview_button, 0, wxEXPAND | wxLEFT, kBorderPx);

    go_button =
        NewButton(this, ID_GO_BUTTON, "&Go!", "Start processing... this may take some time!");
    go_button->Enable(false);
    row->Add(go_button, 0, wxEXPAND | wxLEFT, kBorderPx);
    return row;
}

wxSizer* snl_frame::BuildPresetsGroup() {
    wxStaticBoxSizer* group = NewGroup(this, "Presets");
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    // A short list rather than a drop-down: GTK's drop-down keeps the
    // keyboard focus from moving on with Tab.
    preset_choice = new wxListBox(this, ID_PRESET_CHOICE, wxDefaultPosition, wxSize(-1, 64), 0,
                                  nullptr, wxLB_SINGLE | wxLB_NEEDED_SB);
    SetToolTipInGroup(*preset_choice, "Choose saved settings");
    row->Add(preset_choice, 1, wxALIGN_CENTER_VERTICAL | wxLEFT, kBorderPx);
    save_preset_button = NewButton(this, ID_SAVE_PRESET_BUTTON, "&Save...",
                                   "Save the current settings under a name");
    row->Add(save_preset_button, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, kBorderPx);
    delete_preset_button =
        NewButton(this, ID_DELETE_PRESET_BUTTON, "D&elete", "Delete the chosen preset");
    delete_preset_button->Enable(false);
    row->Add(delete_preset_button, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, kBorderPx);
    group->Add(row, 0, wxEXPAND | wxBOTTOM, kBorderPx);
    return group;
}

wxSizer* snl_frame::BuildRecordsGroup() {
    wxStaticBoxSizer* group = NewGroup(this, "Records");
    auto* grid = new wxGridSizer(2, 0, kBorderPx);
    const auto add = [&](int id, const char* label, const char* tooltip, bool ticked) {
        auto* check = new wxCheckBox(this, id, label, wxDefaultPosition, wxDefaultSize, 0);
        check->SetValue(ticked);
        SetToolTipInGroup(*check, tooltip);
        grid->Add(check, 0, wxLEFT, kBorderPx);
        return check;
    };
    picture_check = add(ID_PICTURE_CHECK, "Picture of each file",
                        "Draw NAME.png beside each output: the input and the output as "
                        "spectrograms, their levels and the clicks found",
                        false);
    report_check = add(ID_REPORT_CHECK, "Report file",
                       "Add a line per file to sonorel-report.jsonl in the output folder: paths, "
                       "checksums, result, settings and what was repaired",
                       false);
    align_check =
        add(ID_ALIGN_CHECK, "Aligned output",
            "Make each output as long as its input, sample for sample in step with it", false);
    metadata_check = add(ID_METADATA_CHECK, "Keep metadata",
                         "Carry the input's catalogue data (title, artist, cue points...) into "
                         "the output",
                         true);
    summary_check = add(ID_SUMMARY_CHECK, "Summary after Go!",
                        "When Go! ends, list each file with its result, its output, the clicks "
                        "repaired and the time it took",
                        false);
    group->Add(grid, 0, wxEXPAND | wxBOTTOM, kBorderPx);
    return group;
}

}  // namespace sonorel
