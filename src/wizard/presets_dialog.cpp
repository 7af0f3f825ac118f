#include "wizard/presets_dialog.h"

#include <array>
#include <string_view>

#include <wx/button.h>
#include <wx/radiobox.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "settings/presets.h"

namespace sonorel {

namespace {

constexpr int kBorderPx = 5;

wxString ToWx(std::string_view text) {
    return wxString::FromUTF8(text.data(), text.size());
}

// A three-way question: its choices stacked in one column, the middle one
// selected until a stored answer says otherwise.
wxRadioBox* NewQuestion(wxWindow* parent, const char* label,
                        const std::array<std::string_view, 3>& choices, const char* tooltip) {
    wxArrayString texts;
    for (const std::string_view choice : choices)
        texts.Add(ToWx(choice));
    auto* box = new wxRadioBox(parent, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, texts, 1,
                               wxRA_SPECIFY_COLS);
    box->SetSelection(kDefaultAnswer);
    box->SetToolTip(tooltip);
    return box;
}

}  // namespace

PresetsDialog::PresetsDialog(wxWindow* parent, wxWindowID id, const wxString& title,
                             const wxPoint& pos, const wxSize& size, long style)
    : wxDialog(parent, id, title, pos, size, style) {
    SetSizeHints(wxDefaultSize, wxDefaultSize);
    SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));

    auto* outer = new wxBoxSizer(wxVERTICAL);

    wxArrayString categories;
    for (const PresetRow& row : PresetTable)
        categories.Add(ToWx(row.category));
    // Filled column by column, so the alphabetical list reads downwards.
    category_radio = new wxRadioBox(this, wxID_ANY, "Recording Category", wxDefaultPosition,
                                    wxDefaultSize, categories, kCategoryRows, wxRA_SPECIFY_ROWS);
    category_radio->SetSelection(kDefaultCategory);
    category_radio->SetToolTip(
        "Type of original recording (78 rpm unless otherwise noted, use \"Acoustic / Flat\" for "
        "cylinders, \"RIAA / CCIR\" for tapes)");
    outer->Add(category_radio, 0, wxLEFT | wxRIGHT | wxTOP, kBorderPx);

    // Centring is left out: next to wxEXPAND the toolkit ignores it and
    // asserts on it.
    outer->Add(BuildQuestionRow(), 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kBorderPx);
    outer->Add(BuildButtonRow(), 0, wxALIGN_CENTER_HORIZONTAL | wxALL, kBorderPx);

    SetSizer(outer);
    Layout();
    outer->Fit(this);
}

PresetsDialog::~PresetsDialog() = default;

wxSizer* PresetsDialog::BuildQuestionRow() {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    playback_radio =
        NewQuestion(this, "Playback EQ", kPlaybackChoices,
                    "What equalisation was applied when digitising? Most record players use "
                    "RIAA / CCIR.");
    row->Add(playback_radio, 0, 0, kBorderPx);

    hiss_radio = NewQuestion(this, "Background Hiss", kHissChoices,
                             "How loud is any steady background noise?");
    row->Add(hiss_radio, 0, wxLEFT, kBorderPx);

    clicks_radio =
        NewQuestion(this, "Pops'n'Clicks", kClicksChoices, "How audible are any clicks and pops?");
    row->Add(clicks_radio, 0, wxLEFT, kBorderPx);

    wear_radio =
        NewQuestion(this, "Wear'n'Tear", kWearChoices, "How distorted are the louder sections?");
    row->Add(wear_radio, 1, wxLEFT, kBorderPx);
    return row;
}

wxSizer* PresetsDialog::BuildButtonRow() {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    ok_button = new wxButton(this, wxID_OK, "OK");
    ok_button->SetDefault();
    row->Add(ok_button, 0, wxALL, kBorderPx);

    cancel_button = new wxButton(this, wxID_CANCEL, "Cancel");
    row->Add(cancel_button, 0, wxALL, kBorderPx);

    wizard_help_button = new wxButton(this, ID_WIZARD_HELP_BUTTON, "Help");
    row->Add(wizard_help_button, 0, wxALL, kBorderPx);
    return row;
}

}  // namespace sonorel
