#include "resources/help_book.h"

#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/fs_zip.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>

namespace sonorel {

namespace {

wxString& OverriddenBookPath() {
    static wxString path;
    return path;
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

void AddHelpBookHandlers() {
    if (!wxFileSystem::HasHandlerForPath("book.htb#zip:index.html")) {
        wxFileSystem::AddHandler(new wxZipFSHandler);
    }
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
}

}  // namespace sonorel
