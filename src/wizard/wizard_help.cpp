#include "wizard/wizard_help.h"

#include <wx/filename.h>
#include <wx/html/helpctrl.h>

#include "resources/help_book.h"
#include "resources/help_viewer.h"

namespace sonorel {

void ShowWizardHelp(wxWindow* owner, int contextId) {
    if (ReportMissingHelpBook(owner)) return;
    AddHelpBookHandlers();
    // wxHF_MODAL makes Display() show the dialog modally and return when it
    // is closed; the controller, and with it the dialog, is gone afterwards.
    HelpViewer viewer(wxHF_DEFAULT_STYLE | wxHF_DIALOG | wxHF_MODAL, owner);
    if (viewer.AddBook(wxFileName(FindHelpBook()))) viewer.Display(contextId);
}

}  // namespace sonorel
