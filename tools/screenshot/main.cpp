// Takes the pictures of the desktop program for the README and the help
// book, one scene a run:
//   sonorel_screenshot main-window OUTPUT.png
//   sonorel_screenshot file-list OUTPUT.png
//   sonorel_screenshot wizard OUTPUT.png
//   sonorel_screenshot summary OUTPUT.png
//   sonorel_screenshot run PICTURE_FOLDER
// tools/screenshot.sh runs it on a virtual X server with a throw-away
// settings folder, so that a user's own settings are neither read nor changed.

#include <cstdio>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/image.h>
#include <wx/stdpaths.h>

#include "screenshot/scenes.h"
#include "screenshot/session.h"

namespace sonorel::screenshot {
namespace {

std::unique_ptr<Scene> SceneFor(const std::string& mode, const std::filesystem::path& output) {
    if (mode == "main-window") return MainWindowScene(output);
    if (mode == "file-list") return FileListScene(output);
    if (mode == "wizard") return WizardScene(output);
    if (mode == "summary") return SummaryScene(output);
    if (mode == "run") return RunScene(output);
    return nullptr;
}

}  // namespace

// Outside the unnamed namespace: the toolkit's wxGetApp() returns it.
class ScreenshotApp : public wxApp {
  public:
    bool OnInit() override {
        if (argc == 3) scene_ = SceneFor(argv[1].utf8_string(), argv[2].utf8_string());
        if (!scene_) {
            std::fprintf(stderr,
                         "usage: sonorel_screenshot main-window OUTPUT.png\n"
                         "       sonorel_screenshot file-list OUTPUT.png\n"
                         "       sonorel_screenshot wizard OUTPUT.png\n"
                         "       sonorel_screenshot summary OUTPUT.png\n"
                         "       sonorel_screenshot run PICTURE_FOLDER\n");
            return false;
        }
        // Set up as the program sets itself up.
        wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
        wxConfigBase::DontCreateOnDemand();
        wxInitAllImageHandlers();
        return scene_->Start(session_);
    }

    int OnRun() override {
        wxApp::OnRun();
        return session_.ExitCode();
    }

    int OnExit() override {
        scene_.reset();
        return wxApp::OnExit();
    }

  private:
    Session session_;
    std::unique_ptr<Scene> scene_;
};

}  // namespace sonorel::screenshot

wxIMPLEMENT_APP(sonorel::screenshot::ScreenshotApp);
