#include "ui/choosers.h"

#include <cctype>
#include <vector>

namespace sonorel {

namespace {

constexpr const char* kInputFilesMessage = "Select Stereo Input File(s)";
constexpr const char* kOutputFolderMessage =
    "Select a folder in which to create the output files. Existing files will NOT be "
    "overwritten - the new files will be renamed if necessary.";

struct FileKind {
    const char* description;
    std::vector<const char*> extensions;  // none: every file
};

// The kinds of file the sound library reads, WAV first and chosen. A file
// in none of them is read as raw 16-bit data, so the last filter shows
// every file, with or without an extension.
const FileKind kInputKinds[] = {
    {"WAV/RIFF audio files (*.wav)", {"wav"}},
    {"AIFF audio files (*.aif;*.aiff)", {"aif", "aiff"}},
    {"Sun/NeXT audio files (*.au)", {"au"}},
    {"RF64 and Wave64 audio files (*.rf64;*.w64)", {"rf64", "w64"}},
    {"FLAC audio files (*.flac)", {"flac"}},
    {"Ogg audio files (*.ogg;*.oga)", {"ogg", "oga"}},
    {"CAF audio files (*.caf)", {"caf"}},
    {"Raw 16-bit PCM files (*.*)", {}},
};

// GTK's filters match names case by case, so "wav" becomes "*.[wW][aA][vV]"
// to find SIDE1.WAV and Side1.Wav too.
wxString AnyCasePattern(const char* extension) {
    wxString pattern = "*.";
    for (const char* c = extension; *c != '\0'; ++c) {
        const unsigned char letter = static_cast<unsigned char>(*c);
        if (std::isalpha(letter)) {
            pattern << '[' << static_cast<char>(std::tolower(letter))
                    << static_cast<char>(std::toupper(letter)) << ']';
        } else {
            pattern << *c;
        }
    }
    return pattern;
}

wxString InputFilesWildcard() {
    wxString wildcard;
    for (const FileKind& kind : kInputKinds) {
        if (!wildcard.empty()) wildcard << '|';
        wildcard << kind.description << '|';
        if (kind.extensions.empty()) wildcard << '*';
        for (std::size_t i = 0; i < kind.extensions.size(); ++i) {
            wildcard << (i > 0 ? ";" : "") << AnyCasePattern(kind.extensions[i]);
        }
    }
    return wildcard;
}

}  // namespace

// An empty folder and file name open the chooser in the working directory.
InputFilesDialog::InputFilesDialog(wxWindow* parent)
    : wxFileDialog(parent, kInputFilesMessage, wxEmptyString, wxEmptyString, InputFilesWildcard(),
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
