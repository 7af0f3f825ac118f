#pragma once
// The main window's two modal choosers: the add-files chooser and the
// output-folder chooser, each with its message, filters and style.
//
// GTK's file chooser reports a selection only after it has really been
// shown, so a wxModalDialogHook that answers the dialog without showing it
// (as the GUI tests do) gives its answer through Answer() instead.

#include <wx/dirdlg.h>
#include <wx/filedlg.h>

namespace sonorel {

class InputFilesDialog : public wxFileDialog {
  public:
    explicit InputFilesDialog(wxWindow* parent);

    // The full paths chosen, in the chooser's order.
    wxArrayString ChosenPaths() const;
    void Answer(const wxArrayString& paths) { answer_ = paths; }

  private:
    wxArrayString answer_;
};

class OutputFolderDialog : public wxDirDialog {
  public:
    OutputFolderDialog(wxWindow* parent, const wxString& startPath);

    wxString ChosenPath() const;
    void Answer(const wxString& path) { answer_ = path; }

    // The folder it opens in (GTK's chooser does not report it back).
    const wxString& StartPath() const { return startPath_; }

  private:
    wxString startPath_;
    wxString answer_;
};

}  // namespace sonorel
