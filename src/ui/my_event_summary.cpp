#include "ui/my_event_summary.h"

#include <utility>

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/utils.h>

namespace sonorel {
namespace {

wxString NameOf(const wxString& path) {
    return path.empty() ? wxString("-") : wxFileName(path).GetFullName();
}

}  // namespace

bool OpenWithDefaultProgram(const wxString& path) {
    return wxLaunchDefaultApplication(path);
}

wxBEGIN_EVENT_TABLE(MyEventSummary, summary_dialog)
    EVT_LIST_ITEM_SELECTED(ID_SUMMARY_LIST, MyEventSummary::OnSelectionChanged)
        EVT_LIST_ITEM_DESELECTED(ID_SUMMARY_LIST, MyEventSummary::OnSelectionChanged)
            EVT_BUTTON(ID_OPEN_FOLDER_BUTTON, MyEventSummary::OnOpenFolder)
                EVT_BUTTON(ID_OPEN_PICTURE_BUTTON, MyEventSummary::OnOpenPicture)
                    wxEND_EVENT_TABLE()

                        MyEventSummary::MyEventSummary(wxWindow* parent, std::vector<BatchRow> rows,
                                                       const wxString& folder, OpenWithDesktop open)
    : summary_dialog(parent), rows_(std::move(rows)), folder_(folder), open_(std::move(open)) {
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        const BatchRow& row = rows_[index];
        const long item = rows_list->InsertItem(static_cast<long>(index), NameOf(row.input));
        rows_list->SetItem(item, kResultColumn, EndingText(row));
        rows_list->SetItem(item, kOutputColumn, NameOf(row.output));
        const bool ran = row.ending != BatchEnding::NotStarted;
        rows_list->SetItem(
            item, kLeftClicksColumn,
            ran ? wxString::Format("%lld", static_cast<long long>(row.clicks[0])) : wxString());
        rows_list->SetItem(
            item, kRightClicksColumn,
            ran ? wxString::Format("%lld", static_cast<long long>(row.clicks[1])) : wxString());
        rows_list->SetItem(item, kSecondsColumn,
                           ran ? wxString::Format("%.1f", row.seconds) : wxString());
    }
    totals_text->SetLabel(TotalsText(rows_));
    if (!rows_.empty()) {
        rows_list->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    }
    UpdateButtons();
    Layout();
    close_button->SetFocus();
}

long MyEventSummary::Selected() const {
    return rows_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

wxString MyEventSummary::FolderToOpen() const {
    const long selected = Selected();
    if (selected >= 0 && !rows_[static_cast<std::size_t>(selected)].output.empty())
        return wxFileName(rows_[static_cast<std::size_t>(selected)].output).GetPath();
    // "." puts each output beside its input.
    if (folder_ == "." && selected >= 0)
        return wxFileName(rows_[static_cast<std::size_t>(selected)].input).GetPath();
    return folder_ == "." ? wxString() : folder_;
}

void MyEventSummary::UpdateButtons() {
    const long selected = Selected();
    picture_button->Enable(selected >= 0 &&
                           !rows_[static_cast<std::size_t>(selected)].picture.empty());
    folder_button->Enable(!FolderToOpen().empty());
}

void MyEventSummary::Open(const wxString& path) {
    if (open_(path)) return;
    wxMessageBox("No program could be started to open it.\n" + path, "Sonorel",
                 wxOK | wxICON_EXCLAMATION, this);
}

void MyEventSummary::OnSelectionChanged(wxListEvent&) {
    UpdateButtons();
}

void MyEventSummary::OnOpenFolder(wxCommandEvent&) {
    const wxString folder = FolderToOpen();
    if (!folder.empty()) Open(folder);
}

void MyEventSummary::OnOpenPicture(wxCommandEvent&) {
    const long selected = Selected();
    if (selected < 0) return;
    const wxString& picture = rows_[static_cast<std::size_t>(selected)].picture;
    if (!picture.empty()) Open(picture);
}

}  // namespace sonorel
