#include "ui/summary_dialog.h"

#include <array>

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "ui/tooltip.h"

namespace sonorel {
namespace {

constexpr int kBorderPx = 6;

struct ColumnLook {
    const char* heading;
    wxListColumnFormat align;
    int widthPx;
};
// Wide enough for a file name and a short reason; the numbers to the right.
constexpr std::array<ColumnLook, kSummaryColumns> kColumns{{
    {"File", wxLIST_FORMAT_LEFT, 200},
    {"Result", wxLIST_FORMAT_LEFT, 220},
    {"Output", wxLIST_FORMAT_LEFT, 200},
    {"Clicks (left)", wxLIST_FORMAT_RIGHT, 90},
    {"Clicks (right)", wxLIST_FORMAT_RIGHT, 90},
    {"Seconds", wxLIST_FORMAT_RIGHT, 70},
}};

}  // namespace

summary_dialog::summary_dialog(wxWindow* parent, wxWindowID id, const wxString& title)
    : wxDialog(parent, id, title, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    auto* outer = new wxBoxSizer(wxVERTICAL);
    rows_list = new wxListCtrl(this, ID_SUMMARY_LIST, wxDefaultPosition, wxSize(-1, 220),
                               wxLC_REPORT | wxLC_SINGLE_SEL);
    int widthPx = 0;
    for (std::size_t column = 0; column < kColumns.size(); ++column) {
        const ColumnLook& look = kColumns[column];
        rows_list->InsertColumn(static_cast<long>(column), look.heading, look.align, look.widthPx);
        widthPx += look.widthPx;
    }
    rows_list->SetMinSize(wxSize(widthPx + 4 * kBorderPx, 220));
    outer->Add(rows_list, 1, wxEXPAND | wxALL, kBorderPx);

    totals_text = new wxStaticText(this, wxID_ANY, wxEmptyString);
    outer->Add(totals_text, 0, wxEXPAND | wxLEFT | wxRIGHT, kBorderPx);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    folder_button = new wxButton(this, ID_OPEN_FOLDER_BUTTON, "Open Output &Folder");
    SetToolTipInGroup(*folder_button, "Open the folder of the selected file's output");
    picture_button = new wxButton(this, ID_OPEN_PICTURE_BUTTON, "Open &Picture");
    SetToolTipInGroup(*picture_button, "Open the picture of the selected file");
    close_button = new wxButton(this, wxID_CLOSE, "&Close");
    buttons->Add(folder_button, 0, wxRIGHT, kBorderPx);
    buttons->Add(picture_button, 0, wxRIGHT, kBorderPx);
    buttons->AddStretchSpacer();
    buttons->Add(close_button);
    outer->Add(buttons, 0, wxEXPAND | wxALL, kBorderPx);
    SetEscapeId(wxID_CLOSE);
    SetAffirmativeId(wxID_CLOSE);

    SetSizerAndFit(outer);
}

}  // namespace sonorel
