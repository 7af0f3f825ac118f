// The file list, the output folder and the status line.

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <system_error>

#include <wx/button.h>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/listbox.h>
#include <wx/log.h>
#include <wx/statbox.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include "ui/choosers.h"
#include "ui/file_list_text.h"
#include "ui/my_event_frame.h"
#include "ui/run_reporting.h"

namespace sonorel {

namespace {

struct StatusRow {
    const char* text;
    bool preview;
    bool go;
    bool removeAll;
};

// Indexed by [files][output].
constexpr StatusRow kStatusRows[2][2] = {
    {{"Select input files and output folder...", false, false, false},
     {"Select the input files...", false, false, false}},
    {{"Select an output folder...", true, false, true}, {"Ready to go!", true, true, true}},
};

// Why a name is not listed. A folder, FIFO or device is refused as an
// unreadable name is: the run could only fail on it, or wait forever on a
// FIFO. The type comes from stat, which never blocks, not from opening the
// file.
enum class Refusal { None, Missing, NotAFile, Unreadable };

Refusal RefusalOf(const wxString& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(ToPath(path), error);
    if (!std::filesystem::exists(status)) return Refusal::Missing;
    if (!std::filesystem::is_regular_file(status)) return Refusal::NotAFile;
    return wxFile::Access(path, wxFile::read) ? Refusal::None : Refusal::Unreadable;
}

// "2 files not added: 1 does not exist, 1 is not a regular file.", or
// empty when every name was listed.
wxString RefusalText(const std::array<int, 4>& refused) {
    const int total = refused[1] + refused[2] + refused[3];
    if (total == 0) return {};
    // Each reason for one name, and for several.
    const char* const reasons[4][2] = {{"", ""},
                                       {"does not exist", "do not exist"},
                                       {"is not a regular file", "are not regular files"},
                                       {"cannot be read", "cannot be read"}};
    wxString text =
        wxString::Format(total == 1 ? "%d file not added:" : "%d files not added:", total);
    const char* separator = " ";
    for (int kind = 1; kind < 4; ++kind) {
        if (refused[kind] == 0) continue;
        text << separator << refused[kind] << ' ' << reasons[kind][refused[kind] > 1 ? 1 : 0];
        separator = ", ";
    }
    return text + ".";
}

}  // namespace

// Duplicates, extensions and formats are left for the run to find out.
// Names that cannot be listed are counted, and the status line says once
// how many and why, after the refresh that the added files caused.
void MyEventFrame::AddFiles(const wxArrayString& paths) {
    int added = 0;
    std::array<int, 4> refused{};
    for (const wxString& path : paths) {
        const Refusal refusal = RefusalOf(path);
        if (refusal == Refusal::None) {
            AppendInputFile(path);
            ++added;
        } else {
            ++refused[static_cast<int>(refusal)];
        }
    }
    if (added > 0) UpdateStatus();
    if (const wxString text = RefusalText(refused); !text.empty())
        status_line->SetStatusText(text, 0);
}

void MyEventFrame::AppendInputFile(const wxString& path) {
    file_list->Append(EntryText(path), new wxStringClientData(path));
}

wxString MyEventFrame::InputPath(unsigned entry) const {
    return static_cast<const wxStringClientData*>(file_list->GetClientObject(entry))->GetData();
}

void MyEventFrame::UpdateStatus() {
    const bool files = file_list->GetCount() > 0;
    const bool output = !output_text->IsEmpty();

    // An unchanged state rewrites nothing, so a status text that Go! or
    // Preview wrote stays until the state next changes.
    if (files != had_files || output != had_output) {
        const StatusRow& row = kStatusRows[files][output];
        preview_button->Enable(row.preview);
        go_button->Enable(row.go);
        remove_all_button->Enable(row.removeAll);
        FocusOutputFolder();
        // Go! becomes the default when the output folder was the last thing
        // supplied; it stays on Add when the files came last.
        if (files && output && !had_output) {
            go_button->SetDefault();
        } else {
            add_button->SetDefault();
        }
        status_line->SetStatusText(row.text, 0);
        had_files = files;
        had_output = output;
    }
    input_files_box->SetLabel(InputFilesCaption(file_list->GetCount()));
    EnableSelectionButtons();
}

// A GTK text entry selects all its text when it takes the focus, so the next
// key would replace the folder: the caret goes to the end instead.
void MyEventFrame::FocusOutputFolder() {
    output_text->SetFocus();
    output_text->SetInsertionPointEnd();
}

void MyEventFrame::EnableSelectionButtons() {
    wxArrayInt selected;
    const bool any = file_list->GetSelections(selected) > 0;
    // GTK leaves the focus on a button that disables itself, and the
    // window's shortcuts then reach nothing: the focus moves on first, to
    // the list while it has entries, else to the output folder.
    const wxWindow* focus = FindFocus();
    if (!any && (focus == deselect_button || focus == remove_button)) {
        if (file_list->IsEmpty()) {
            FocusOutputFolder();
        } else {
            file_list->SetFocus();
        }
    }
    deselect_button->Enable(any);
    remove_button->Enable(any);
}

void MyEventFrame::OnAddFiles(wxCommandEvent&) {
    InputFilesDialog chooser(this);
    if (chooser.ShowModal() != wxID_OK) return;
    const wxArrayString paths = chooser.ChosenPaths();
    if (paths.empty()) return;

    // The next chooser opens where these files are, and "Input" remembers it.
    // wxFD_CHANGE_DIR asks the same of the toolkit; doing it here makes it
    // hold however the chooser was answered.
    {
        wxLogNull quiet;
        wxSetWorkingDirectory(wxFileName(paths[0]).GetPath());
    }
    AddFiles(paths);
}

void MyEventFrame::OnDeselectAll(wxCommandEvent&) {
    file_list->SetSelection(wxNOT_FOUND);
    UpdateStatus();
}

// The entries selected when Remove was pressed, taken once and deleted from
// the last up, so that the indices still to come stay valid. On GTK deleting
// a selected row selects a neighbour, which is why the selection is not
// asked again and is cleared at the end.
void MyEventFrame::OnRemove(wxCommandEvent&) {
    wxArrayInt selected;
    file_list->GetSelections(selected);
    std::sort(selected.begin(), selected.end(), std::greater<>());
    for (const int entry : selected)
        file_list->Delete(static_cast<unsigned>(entry));
    file_list->SetSelection(wxNOT_FOUND);
    UpdateStatus();
}

void MyEventFrame::OnRemoveAll(wxCommandEvent&) {
    file_list->Clear();
    UpdateStatus();
}

void MyEventFrame::OnListMotion(wxMouseEvent& event) {
    event.Skip();
    const int entry = file_list->HitTest(event.GetPosition());
    if (entry == tooltip_entry) return;
    tooltip_entry = entry;
    file_list->SetToolTip(entry == wxNOT_FOUND ? wxString(kFileListTooltip)
                                               : InputPath(static_cast<unsigned>(entry)));
}

void MyEventFrame::OnListLeave(wxMouseEvent& event) {
    event.Skip();
    tooltip_entry = wxNOT_FOUND;
    file_list->SetToolTip(kFileListTooltip);
}

void MyEventFrame::OnListSelect(wxCommandEvent&) {
    EnableSelectionButtons();
}

void MyEventFrame::OnOutputFolderChanged(wxCommandEvent&) {
    UpdateStatus();
}

void MyEventFrame::OnBrowse(wxCommandEvent&) {
    OutputFolderDialog chooser(this, output_text->GetValue());
    if (chooser.ShowModal() != wxID_OK) return;
    output_text->SetValue(chooser.ChosenPath());
    UpdateStatus();
}

}  // namespace sonorel
