#pragma once
// The scenes of the screenshot program. A scene sets up what its pictures
// show and schedules them through the session; it closes the main window
// when it is done, which ends the program.

#include <filesystem>
#include <memory>

#include "screenshot/session.h"

namespace sonorel::screenshot {

class Scene {
  public:
    virtual ~Scene() = default;
    // False when the scene cannot start; it has said why.
    virtual bool Start(Session& session) = 0;
};

// The main window as the program opens it, a few files listed and an output
// folder chosen: docs/main-window.png.
std::unique_ptr<Scene> MainWindowScene(std::filesystem::path picture);

// A long file list, names first, with the tooltip of one line:
// docs/file-list.png.
std::unique_ptr<Scene> FileListScene(std::filesystem::path picture);

// The settings wizard as it opens on first use, over the main window:
// docs/wizard.png.
std::unique_ptr<Scene> WizardScene(std::filesystem::path picture);

// The batch summary after a Go! over two files: docs/batch-summary.png.
std::unique_ptr<Scene> SummaryScene(std::filesystem::path picture);

// A Go! and a Preview run: seven pictures in `folder`, processing.png
// (docs/processing.png) among them.
std::unique_ptr<Scene> RunScene(std::filesystem::path folder);

}  // namespace sonorel::screenshot
