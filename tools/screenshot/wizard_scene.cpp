// The settings wizard as it opens on first use, over the main window.

#include <wx/app.h>

#include "screenshot/scenes.h"
#include "ui/my_event_frame.h"
#include "wizard/my_event_presets.h"

namespace sonorel::screenshot {
namespace {

class Wizard : public Scene {
  public:
    explicit Wizard(std::filesystem::path picture) : picture_(std::move(picture)) {}

    bool Start(Session& session) override {
        MyEventFrame* frame = session.OpenMainWindow();
        wxTheApp->CallAfter([this, &session, frame] {
            MyEventPresets wizard(frame, frame->wizard_answers);
            Session::After(kWindowSettleMs, [this, &session, &wizard] {
                session.PictureOf(wizard, picture_);
                wizard.EndModal(wxID_CANCEL);
            });
            wizard.ShowModal();
            frame->Close();
        });
        return true;
    }

  private:
    std::filesystem::path picture_;
};

}  // namespace

std::unique_ptr<Scene> WizardScene(std::filesystem::path picture) {
    return std::make_unique<Wizard>(std::move(picture));
}

}  // namespace sonorel::screenshot
