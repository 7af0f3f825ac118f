// Takes the picture of the main window shown in the README and the help
// book: the window as the program opens it, with a few files listed and an
// output folder chosen. Run it through tools/screenshot-main-window.sh,
// which gives it a virtual X server and a throw-away settings folder.

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/listbox.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <cstdio>

#include "ui/my_event_frame.h"

namespace {

class ScreenshotApp : public wxApp {
  public:
    bool OnInit() override {
        if (argc != 2) {
            std::fprintf(stderr, "usage: sonorel_screenshot OUTPUT.png\n");
            return false;
        }
        outputPath_ = argv[1];
        wxInitAllImageHandlers();
        wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);

        frame_ = new sonorel::MyEventFrame();
        // Entries are put in directly: the files need not exist for a picture.
        frame_->file_list->Append("/home/user/Music/78s/side-a-take-2.wav");
        frame_->file_list->Append("/home/user/Music/78s/side-b-take-1.wav");
        frame_->file_list->Append("/home/user/Music/78s/waltz-1927.aiff");
        frame_->file_list->SetSelection(0);
        frame_->output_text->SetValue("/home/user/Music/Restored");
        frame_->UpdateStatus();
        SetTopWindow(frame_);
        frame_->Show();

        // Give GTK time to map, lay out and paint the window.
        timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Capture(); });
        timer_.StartOnce(1500);
        return true;
    }

  private:
    void Capture() {
        frame_->Raise();
        frame_->Update();
        const wxRect rect = frame_->GetScreenRect();
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
        frame_->Close();
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
