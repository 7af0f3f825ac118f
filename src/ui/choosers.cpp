#include "ui/choosers.h"

namespace sonorel {

namespace {

constexpr const char* kInputFilesMessage = "Select Stereo Input File(s)";
constexpr const char* kInputFilesWildcard =
    "WAV/RIFF audio files (*.wav)|*.wav|AIFF audio files (*.aif;*.aiff)|*.aif;*.aiff|"
    "Sun/NeXT audio files (*.au)|*.au|Raw 16-bit PCM files (*.*)|*.*";
constexpr const char* kOutputFolderMessage =
    "Select a folder in which to create the output files. Existing files will NOT be "
    "overwritten - the new files will be renamed if necessary.";

}  // namespace

// An empty folder and file name open the chooser in the working directory.
InputFilesDialog::InputFilesDialog(wxWindow* parent)
    : wxFileDialog(parent, kInputFilesMessage, wxEmptyString, wxEmptyString, kInputFilesWildcard,
                   wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE | wxFD_CHANGE_DIR) {}

wxArrayString InputFilesDialog::ChosenPaths() const {
    if (!answer_.empty()) return answer_;
    wxArrayString paths;
    GetPaths(paths);
    return paths;
}

OutputFolderDialog::OutputFolderDialog(wxWindow* parent, const wxString& startPath)
    : wxDirDialog(parent, kOutputFolderMessage, startPath,
                  wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER),
      startPath_(startPath) {}

wxString OutputFolderDialog::ChosenPath() const {
    return answer_.empty() ? GetPath() : answer_;
}

}  // namespace sonorel
