#pragma once
// The batch summary's behaviour: fills the table from the rows of the last
// Go!, and opens the output folder or the picture of the selected row (or
// of the first row that has one) with the desktop's default program.

#include <functional>
#include <vector>

#include "ui/batch_rows.h"
#include "ui/summary_dialog.h"

class wxListEvent;

namespace sonorel {

// Opens a file or folder with the desktop's default program; false when
// that failed. The program uses the toolkit's; tests record the call.
using OpenWithDesktop = std::function<bool(const wxString& path)>;

bool OpenWithDefaultProgram(const wxString& path);

class MyEventSummary : public summary_dialog {
  public:
    // `folder` is the output folder of the Go! ("." : beside each input).
    MyEventSummary(wxWindow* parent, std::vector<BatchRow> rows, const wxString& folder,
                   OpenWithDesktop open);

    const std::vector<BatchRow>& Rows() const { return rows_; }

  private:
    // The selected row, or -1.
    long Selected() const;
    // The folder Open Output Folder opens for the selected row, or for none.
    wxString FolderToOpen() const;
    void UpdateButtons();
    void Open(const wxString& path);

    void OnSelectionChanged(wxListEvent& event);
    void OnOpenFolder(wxCommandEvent& event);
    void OnOpenPicture(wxCommandEvent& event);

    std::vector<BatchRow> rows_;
    wxString folder_;
    OpenWithDesktop open_;

    wxDECLARE_EVENT_TABLE();
};

}  // namespace sonorel
