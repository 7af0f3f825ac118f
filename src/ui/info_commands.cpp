// The bottom-right row of the main window: Help, About and Close. The web
// link has no handler; the toolkit opens its address in the browser.

#include <wx/msgdlg.h>

#include "settings/product.h"
#include "ui/my_event_frame.h"

namespace sonorel {

void MyEventFrame::OnHelp(wxCommandEvent&) {
    help_book.ShowContents();
}

void MyEventFrame::OnAbout(wxCommandEvent&) {
    const wxString text = wxString(kProductNameAndVersion) + "\n\n<" + kWebAddress + ">\n\n" +
                          "Sonorel uses the wxWidgets GUI library, the libsndfile audio file "
                          "library, the PortAudio audio I/O library, and the FFTW Fourier "
                          "transform library.";
    wxMessageBox(text, "About Sonorel", wxOK, this);
}

// Nothing vetoes the close: the window is destroyed and its destructor
// saves the settings, exactly as when the title bar's close box is used.
void MyEventFrame::OnExit(wxCommandEvent&) {
    Close(false);
}

}  // namespace sonorel
