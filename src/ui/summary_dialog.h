#pragma once
// The batch summary's layout: a table of the files of the last Go! (file,
// result, output, clicks per wall, seconds), a line of totals, and Open
// Output Folder / Open Picture / Close. It keeps a pointer to each control;
// the dialog owns them. What the buttons do lives in MyEventSummary.

#include <wx/dialog.h>

class wxButton;
class wxListCtrl;
class wxStaticText;

namespace sonorel {

inline constexpr int ID_SUMMARY_DIALOG = 1100;
inline constexpr int ID_SUMMARY_LIST = 1101;
inline constexpr int ID_OPEN_FOLDER_BUTTON = 1102;
inline constexpr int ID_OPEN_PICTURE_BUTTON = 1103;

inline constexpr const char* kSummaryTitle = "Sonorel Batch Summary";

// The table's columns, left to right.
enum SummaryColumn : int {
    kFileColumn,
    kResultColumn,
    kOutputColumn,
    kLeftClicksColumn,
    kRightClicksColumn,
    kSecondsColumn,
    kSummaryColumns
};

class summary_dialog : public wxDialog {
  public:
    explicit summary_dialog(wxWindow* parent, wxWindowID id = ID_SUMMARY_DIALOG,
                            const wxString& title = kSummaryTitle);

    wxListCtrl* rows_list = nullptr;
    wxStaticText* totals_text = nullptr;
    wxButton* folder_button = nullptr;
    wxButton* picture_button = nullptr;
    wxButton* close_button = nullptr;
};

}  // namespace sonorel
