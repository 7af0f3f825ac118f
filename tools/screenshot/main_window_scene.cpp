// The main window as the program opens it, with a few files listed and an
// output folder chosen.

#include <wx/listbox.h>
#include <wx/textctrl.h>

#include "screenshot/scenes.h"
#include "ui/my_event_frame.h"

namespace sonorel::screenshot {
namespace {

class MainWindow : public Scene {
  public:
    explicit MainWindow(std::filesystem::path picture) : picture_(std::move(picture)) {}

    bool Start(Session& session) override {
        MyEventFrame* frame = session.OpenMainWindow();
        // Entries are put in directly: the files need not exist for a picture.
        frame->AppendInputFile("/home/user/Music/78s/side-a-take-2.wav");
        frame->AppendInputFile("/home/user/Music/78s/side-b-take-1.wav");
        frame->AppendInputFile("/home/user/Music/78s/waltz-1927.aiff");
        frame->file_list->SetSelection(0);
        frame->output_text->SetValue("/home/user/Music/Restored");
        frame->UpdateStatus();

        Session::After(kWindowSettleMs, [this, &session, frame] {
            session.PictureOf(*frame, picture_);
            frame->Close();
        });
        return true;
    }

  private:
    std::filesystem::path picture_;
};

}  // namespace

std::unique_ptr<Scene> MainWindowScene(std::filesystem::path picture) {
    return std::make_unique<MainWindow>(std::move(picture));
}

}  // namespace sonorel::screenshot
