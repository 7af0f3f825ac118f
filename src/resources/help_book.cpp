#include "resources/help_book.h"

#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/fs_zip.h>
#include <wx/image.h>
#include <wx/stdpaths.h>

namespace sonorel {

namespace {

wxString& OverriddenBookPath() {
    static wxString path;
    return path;
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

void AddHelpBookHandlers() {
    if (!wxFileSystem::HasHandlerForPath("book.htb#zip:index.html")) {
        wxFileSystem::AddHandler(new wxZipFSHandler);
    }
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
}

}  // namespace sonorel
