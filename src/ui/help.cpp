#include "ui/help.h"

#include <wx/filename.h>
#include <wx/fs_zip.h>
#include <wx/html/helpctrl.h>
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

wxString FindHelpBook() {
    if (!OverriddenBookPath().empty()) return OverriddenBookPath();

    const wxFileName program(wxStandardPaths::Get().GetExecutablePath());
    wxFileName nextToProgram(program.GetPath(), kHelpBookName);
    wxFileName besideInstall(program.GetPath(), kHelpBookName);
    besideInstall.AppendDir("..");
    besideInstall.AppendDir("share");
    besideInstall.AppendDir("sonorel");
    const wxFileName installed(SONOREL_INSTALL_DATA_DIR, kHelpBookName);

    for (const wxFileName& candidate : {nextToProgram, besideInstall, installed}) {
        if (candidate.FileExists()) return candidate.GetAbsolutePath();
    }
    return nextToProgram.GetFullPath();
}

void UseHelpBook(const wxString& path) {
    OverriddenBookPath() = path;
}

HelpBook::HelpBook(wxWindow* parent) : parent_(parent) {}

HelpBook::~HelpBook() = default;

bool HelpBook::Load() {
    if (loaded_) return true;
    RegisterZipFileSystem();
    if (!viewer_) viewer_ = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE, parent_);
    // A missing or damaged book is reported by the viewer's own message.
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
