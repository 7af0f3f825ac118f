#include "app/my_app.h"

#include <csignal>

#include <wx/config.h>
#include <wx/stdpaths.h>

#include "ui/my_event_frame.h"

wxIMPLEMENT_APP(sonorel::MyApp);

namespace sonorel {

bool MyApp::OnInit() {
    if (!wxApp::OnInit()) return false;

    // A file-size limit (ulimit -f) must make a write fail, not kill the
    // program: the run then reports "Output file is incomplete" and keeps a
    // well-formed file with what was written.
    std::signal(SIGXFSZ, SIG_IGN);

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
