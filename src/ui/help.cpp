#include "ui/help.h"

#include <wx/filename.h>
#include <wx/fs_zip.h>
#include <wx/html/helpctrl.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>

#include "ui/my_event_frame.h"

namespace sonorel {

namespace {

wxString& OverriddenBookPath() {
    static wxString path;
    return path;
}

// The book is a zip archive, read through the toolkit's virtual file system.
void RegisterZipFileSystem() {
    static bool registered = false;
    if (!registered) {
        wxFileSystem::AddHandler(new wxZipFSHandler);
        registered = true;
    }
}

}  // namespace

wxArrayString HelpBookPlaces() {
    wxArrayString places;
    if (!OverriddenBookPath().empty()) {
        places.Add(OverriddenBookPath());
        return places;
    }
    const wxFileName program(wxStandardPaths::Get().GetExecutablePath());
    wxFileName besideInstall(program.GetPath(), kHelpBookName);
    besideInstall.AppendDir("..");
    besideInstall.AppendDir("share");
    besideInstall.AppendDir("sonorel");
    besideInstall.Normalize(wxPATH_NORM_DOTS);
    places.Add(wxFileName(program.GetPath(), kHelpBookName).GetFullPath());
    places.Add(besideInstall.GetFullPath());
    places.Add(wxFileName(SONOREL_INSTALL_DATA_DIR, kHelpBookName).GetFullPath());
    return places;
}

wxString FindHelpBook() {
    const wxArrayString places = HelpBookPlaces();
    for (const wxString& place : places) {
        if (wxFileName::FileExists(place)) return wxFileName(place).GetAbsolutePath();
    }
    return places[0];
}

bool ReportMissingHelpBook(wxWindow* parent) {
    if (wxFileName::FileExists(FindHelpBook())) return false;
    wxString text = wxString::Format(
        "The help book %s could not be found. Sonorel looked for it in:", kHelpBookName);
    for (const wxString& place : HelpBookPlaces())
        text << "\n" << wxFileName(place).GetPath();
    wxMessageBox(text, "Sonorel Help", wxOK | wxICON_EXCLAMATION, parent);
    return true;
}

void UseHelpBook(const wxString& path) {
    OverriddenBookPath() = path;
}

HelpBook::HelpBook(wxWindow* parent) : parent_(parent) {}

HelpBook::~HelpBook() = default;

bool HelpBook::Load() {
    if (loaded_) return true;
    if (ReportMissingHelpBook(parent_)) return false;
    RegisterZipFileSystem();
    if (!viewer_) viewer_ = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE, parent_);
    // A damaged book is reported by the viewer's own message.
    loaded_ = viewer_->AddBook(wxFileName(FindHelpBook()));
    return loaded_;
}

void HelpBook::ShowContents() {
    if (Load()) viewer_->DisplayContents();
}

void HelpBook::ShowTopic(int contextId) {
    if (Load()) viewer_->Display(contextId);
}

void ShowHelpTopic(wxWindow* window, int contextId) {
    for (wxWindow* w = window; w != nullptr; w = w->GetParent()) {
        if (auto* frame = dynamic_cast<MyEventFrame*>(w)) {
            frame->Help().ShowTopic(contextId);
            return;
        }
    }
}

}  // namespace sonorel
