#include "app/my_app.h"

#include <csignal>

#include <wx/cmdline.h>
#include <wx/config.h>
#include <wx/stdpaths.h>

#include "ui/command_line.h"
#include "ui/my_event_frame.h"

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
    if (!files_from_command_line.empty()) frame->AddFiles(files_from_command_line);
    return true;
}

void MyApp::OnInitCmdLine(wxCmdLineParser& parser) {
    wxApp::OnInitCmdLine(parser);
    DescribeCommandLine(parser);
}

bool MyApp::OnCmdLineParsed(wxCmdLineParser& parser) {
    if (!wxApp::OnCmdLineParsed(parser)) return false;
    files_from_command_line = FilesFromCommandLine(parser);
    return true;
}

}  // namespace sonorel
