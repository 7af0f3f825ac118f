#include "app/my_app.h"

#include <wx/config.h>
#include <wx/stdpaths.h>

#include "ui/my_event_frame.h"

wxIMPLEMENT_APP(sonorel::MyApp);

namespace sonorel {

bool MyApp::OnInit() {
    if (!wxApp::OnInit()) return false;

    // Settings live in ~/.config/Sonorel.conf, and only the main window
    // reads or writes them: no implicit global configuration object.
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
    wxConfigBase::DontCreateOnDemand();

    frame = new MyEventFrame();
    SetTopWindow(frame);
    frame->Show(true);
    frame->Update();
    return true;
}

}  // namespace sonorel
