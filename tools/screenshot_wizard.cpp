// Takes the picture of the settings wizard shown in the README: the dialog
// as it opens on first use, over the main window. Run it through
// tools/screenshot-wizard.sh, which gives it a virtual X server and a
// throw-away settings folder.

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/stdpaths.h>
#include <wx/timer.h>

#include <cstdio>

#include "ui/my_event_frame.h"
#include "wizard/my_event_presets.h"

namespace {

class ScreenshotApp : public wxApp {
  public:
    bool OnInit() override {
        if (argc != 2) {
            std::fprintf(stderr, "usage: sonorel_wizard_screenshot OUTPUT.png\n");
            return false;
        }
        outputPath_ = argv[1];
        wxInitAllImageHandlers();
        wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);

        frame_ = new sonorel::MyEventFrame();
        SetTopWindow(frame_);
        frame_->Show();
        CallAfter([this] { ShowWizard(); });
        return true;
    }

  private:
    void ShowWizard() {
        sonorel::MyEventPresets wizard(frame_, frame_->StoredWizardAnswers());
        // Give GTK time to map, lay out and paint the dialog.
        timer_.Bind(wxEVT_TIMER, [this, &wizard](wxTimerEvent&) {
            Capture(wizard);
            wizard.EndModal(wxID_CANCEL);
        });
        timer_.StartOnce(1500);
        wizard.ShowModal();
        frame_->Close();
    }

    void Capture(wxWindow& window) {
        window.Raise();
        window.Update();
        const wxRect rect = window.GetScreenRect();
        wxBitmap picture(rect.GetSize());
        {
            wxScreenDC screen;
            wxMemoryDC memory(picture);
            memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
        }
        if (!picture.SaveFile(outputPath_, wxBITMAP_TYPE_PNG)) {
            std::fprintf(stderr, "could not write %s\n", outputPath_.utf8_str().data());
            exitCode_ = 1;
        }
    }

    int OnRun() override {
        wxApp::OnRun();
        return exitCode_;
    }

    wxString outputPath_;
    sonorel::MyEventFrame* frame_ = nullptr;
    wxTimer timer_;
    int exitCode_ = 0;
};

}  // namespace

wxIMPLEMENT_APP(ScreenshotApp);
