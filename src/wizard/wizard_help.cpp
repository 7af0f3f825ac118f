#include "wizard/wizard_help.h"

#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/fs_zip.h>
#include <wx/html/helpctrl.h>
#include <wx/image.h>

#include "ui/help.h"

namespace sonorel {

void ShowWizardHelp(wxWindow* owner, int contextId) {
    if (ReportMissingHelpBook(owner)) return;
    // The book is a zip archive and its pages show PNG pictures; the
    // toolkit reads neither until it is given a handler.
    if (!wxFileSystem::HasHandlerForPath("book.htb#zip:index.html")) {
        wxFileSystem::AddHandler(new wxZipFSHandler);
    }
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
    // wxHF_MODAL makes Display() show the dialog modally and return when it
    // is closed; the controller, and with it the dialog, is gone afterwards.
    wxHtmlHelpController viewer(wxHF_DEFAULT_STYLE | wxHF_DIALOG | wxHF_MODAL, owner);
    if (viewer.AddBook(wxFileName(FindHelpBook()))) viewer.Display(contextId);
}

}  // namespace sonorel
