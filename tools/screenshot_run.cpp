// Takes pictures of a Go! and a Preview run in the main window, for a check
// by eye and for docs/processing.png. Two synthetic transfers of 40 seconds
// are listed and restored; the pictures show
//   processing.png        the "Processing..." dialog over the main window
//   cancel-question.png   "Do you really want to cancel?" during the second file
//   incomplete.png        the report after that cancel was confirmed
//   go-finished.png       the main window after the run
//   playing.png           the "Playing..." dialog of a preview
//   preview-finished.png  the main window after the preview
//   no-device.png         a preview without a sound device
// Run it through tools/screenshot-run.sh, which gives it a virtual X server
// and a throw-away settings folder.
//
// The progress dialog shows its time estimates only after a few seconds, so
// the tool holds each block 3 ms to let a run last that long; the preview
// plays on a line that takes as long as a sound card would. Message boxes
// are answered with the Return key, as a user would.

#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/progdlg.h>
#include <wx/slider.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "example_transfer.h"
#include "pipeline/playback_output.h"
#include "ui/my_event_frame.h"

namespace {

constexpr double kInputSeconds = 40.0;

// Plays nothing, but takes as long as a sound card would for each chunk.
class RealTimeLine : public sonorel::PlaybackOutput {
  public:
    bool Open(int sampleRate, std::int64_t) override {
        sampleRate_ = sampleRate;
        return true;
    }
    bool Write(std::span<const std::int16_t> chunk) override {
        std::this_thread::sleep_for(std::chrono::microseconds(
            static_cast<std::int64_t>(chunk.size()) * 1'000'000 / sampleRate_));
        return true;
    }
    void Close(bool) override {}

  private:
    int sampleRate_ = 44100;
};

class RunScreenshotApp : public wxApp {
  public:
    bool OnInit() override {
        if (argc != 2) {
            std::fprintf(stderr, "usage: sonorel_run_screenshot PICTURE_FOLDER\n");
            return false;
        }
        pictures_ = std::filesystem::path(argv[1].utf8_string());
        wxInitAllImageHandlers();
        wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
        if (!MakeInputs()) return false;

        frame_ = new sonorel::MyEventFrame();
        frame_->AddFiles(inputs_);
        frame_->output_text->SetValue(wxString::FromUTF8((work_ / "Restored").string()));
        frame_->duration_slider->SetValue(10);
        SetTopWindow(frame_);
        frame_->Show();
        After(1500, [this] { Go(); });
        return true;
    }

    int OnExit() override {
        std::error_code ignored;
        std::filesystem::remove_all(work_, ignored);
        return wxApp::OnExit();
    }

  private:
    bool MakeInputs() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "sonorel-run-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return false;
        work_ = pattern;
        std::filesystem::create_directories(work_ / "Restored");
        for (const char* name : {"side-a.wav", "side-b.wav"}) {
            sonorel::example::TransferOptions options;
            options.seconds = kInputSeconds;
            options.seed = inputs_.size() + 1;
            const auto samples = sonorel::example::SynthesiseTransfer(options);
            std::string error;
            if (!sonorel::example::WriteWav16(work_ / name, 2, options.sampleRate, samples,
                                              error)) {
                std::fprintf(stderr, "%s\n", error.c_str());
                return false;
            }
            inputs_.Add(wxString::FromUTF8((work_ / name).string()));
        }
        return true;
    }

    // Runs `step` once, `ms` from now, from the event loop that is running
    // then (a modal box's own, for instance).
    void After(int ms, std::function<void()> step) {
        auto* timer = new wxTimer();
        timer->Bind(wxEVT_TIMER, [timer, step](wxTimerEvent&) {
            step();
            timer->Stop();
            wxTheApp->CallAfter([timer] { delete timer; });
        });
        timer->StartOnce(ms);
    }

    void Go() {
        frame_->progress_hook = [this](wxProgressDialog& dialog, sonorel::ProgressKind,
                                       std::int64_t value) {
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
            const int range = dialog.GetRange();
            const bool first = dialog.GetMessage() == "side-a";
            if (first && value == range * 6 / 10) Capture("processing.png");
            if (!first && value == range / 2) {
                // The user presses Cancel, is asked, and confirms.
                wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
                click.SetEventObject(dialog.FindWindow(wxID_CANCEL));
                dialog.FindWindow(wxID_CANCEL)->GetEventHandler()->ProcessEvent(click);
                AnswerBoxAfter(800, "cancel-question.png",
                               [this] { AnswerBoxAfter(800, "incomplete.png", [] {}); });
            }
        };
        Click(frame_->go_button);
        frame_->progress_hook = nullptr;
        After(800, [this] {
            Capture("go-finished.png");
            Preview();
        });
    }

    void Preview() {
        frame_->file_list->SetSelection(0);
        frame_->preview_output = &line_;
        frame_->progress_hook = [this](wxProgressDialog& dialog, sonorel::ProgressKind kind,
                                       std::int64_t value) {
            if (kind == sonorel::ProgressKind::Playing && value == dialog.GetRange() / 2 &&
                !playingTaken_) {
                playingTaken_ = true;
                Capture("playing.png");
            }
        };
        Click(frame_->preview_button);
        frame_->progress_hook = nullptr;
        After(800, [this] {
            Capture("preview-finished.png");
            PreviewWithoutDevice();
        });
    }

    // The default sound output; a machine without a sound card says so.
    void PreviewWithoutDevice() {
        frame_->preview_output = nullptr;
        AnswerBoxAfter(2500, "no-device.png", [] {});
        Click(frame_->preview_button);
        After(800, [this] { frame_->Close(); });
    }

    // Pictures the main window with the message box over it, then presses
    // Return with the pointer over the box (without a window manager the
    // keyboard follows the pointer).
    void AnswerBoxAfter(int ms, const std::string& picture, std::function<void()> next) {
        After(ms, [this, picture, next] {
            Capture(picture);
            next();
            wxUIActionSimulator user;
            const wxRect rect = frame_->GetScreenRect();
            user.MouseMove(rect.x + rect.width / 2, rect.y + rect.height / 2);
            user.Char(WXK_RETURN);
            // Away again, so that no tooltip gets into the next picture.
            user.MouseMove(0, 0);
        });
    }

    static void Click(wxButton* button) {
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }

    // The main window's area of the screen, with whatever is over it, read
    // from the X server through a connection of its own (the toolkit's screen
    // device context keeps showing its first picture under GTK 3).
    void Capture(const std::string& name) {
        wxTheApp->Yield(true);
        const wxRect rect = frame_->GetScreenRect();
        wxImage picture(rect.width, rect.height);
        Display* display = XOpenDisplay(nullptr);
        XImage* shot = display == nullptr
                           ? nullptr
                           : XGetImage(display, DefaultRootWindow(display), rect.x, rect.y,
                                       static_cast<unsigned>(rect.width),
                                       static_cast<unsigned>(rect.height), AllPlanes, ZPixmap);
        if (shot != nullptr) {
            for (int y = 0; y < rect.height; ++y) {
                for (int x = 0; x < rect.width; ++x) {
                    const unsigned long pixel = XGetPixel(shot, x, y);
                    picture.SetRGB(x, y, (pixel & shot->red_mask) >> 16,
                                   (pixel & shot->green_mask) >> 8, pixel & shot->blue_mask);
                }
            }
            XDestroyImage(shot);
        }
        if (display != nullptr) XCloseDisplay(display);
        const std::string path = (pictures_ / name).string();
        if (shot != nullptr && picture.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG)) {
            std::printf("wrote %s\n", path.c_str());
        } else {
            std::fprintf(stderr, "could not take %s\n", path.c_str());
            exitCode_ = 1;
        }
    }

    int OnRun() override {
        wxApp::OnRun();
        return exitCode_;
    }

    std::filesystem::path pictures_;
    std::filesystem::path work_;
    wxArrayString inputs_;
    sonorel::MyEventFrame* frame_ = nullptr;
    RealTimeLine line_;
    bool playingTaken_ = false;
    int exitCode_ = 0;
};

}  // namespace

wxIMPLEMENT_APP(RunScreenshotApp);
