// A Go! and a Preview run in the main window, for a check by eye and for
// docs/processing.png. Two synthetic transfers of 40 seconds are listed and
// restored; the pictures show
//   processing.png        the "Processing..." dialog over the main window
//   cancel-question.png   "Do you really want to cancel?" during the second file
//   incomplete.png        the report after that cancel was confirmed
//   go-finished.png       the main window after the run
//   playing.png           the "Playing..." dialog of a preview, switched to
//                         the original (docs/playing.png)
//   preview-finished.png  the main window after the preview
//   no-device.png         a preview without a sound device
//
// The progress dialog shows its time estimates only after a few seconds, so
// the scene holds each block 3 ms to let a run last that long; the preview
// plays on a line that takes as long as a sound card would.

#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/modalhook.h>
#include <wx/progdlg.h>
#include <wx/slider.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "pipeline/playback_output.h"
#include "screenshot/scenes.h"
#include "screenshot/screen_reader.h"
#include "screenshot/transfers.h"
#include "ui/my_event_frame.h"

namespace sonorel::screenshot {
namespace {

constexpr double kInputSeconds = 40.0;
// Time for the main window to repaint where a run's dialog was.
constexpr int kAfterRunMs = 800;

// Plays nothing, but takes as long as a sound card would for each chunk.
class RealTimeLine : public PlaybackOutput {
  public:
    bool Open(int sampleRate, std::int64_t) override {
        sampleRate_ = sampleRate;
        return true;
    }
    std::int64_t WritableFrames() override { return std::int64_t{1} << 20; }
    bool Write(std::span<const std::int16_t> chunk) override {
        std::this_thread::sleep_for(std::chrono::microseconds(
            static_cast<std::int64_t>(chunk.size()) * 1'000'000 / sampleRate_));
        return true;
    }
    void Close(bool) override {}

  private:
    int sampleRate_ = 44100;
};

// Pictures each message box of the run over the main window once it is up,
// then answers it with the Return key, as a user would, with the pointer
// over the box (without a window manager the keyboard follows the pointer).
// Waiting for the box itself, not for a set time, keeps a slow machine from
// pressing Return before the box is there.
class BoxAnswerer : public wxModalDialogHook {
  public:
    BoxAnswerer(Session& session, MyEventFrame& frame,
                std::function<void(const std::string&)> capture)
        : session_(session), frame_(frame), capture_(std::move(capture)) {
        Register();
    }
    ~BoxAnswerer() override { Unregister(); }

    // The names of the pictures of the next boxes, in order.
    void Expect(std::initializer_list<std::string> pictures) {
        pictures_.insert(pictures_.end(), pictures);
    }

  protected:
    int Enter(wxDialog*) override {
        std::string picture;
        if (pictures_.empty()) {
            session_.Fail("a message box came that the scene did not expect");
        } else {
            picture = pictures_.front();
            pictures_.pop_front();
        }
        Session::After(kBoxSettleMs, [this, picture] {
            if (!picture.empty()) capture_(picture);
            wxUIActionSimulator user;
            const wxRect rect = frame_.GetScreenRect();
            user.MouseMove(rect.x + rect.width / 2, rect.y + rect.height / 2);
            user.Char(WXK_RETURN);
            // Away again, so that no tooltip gets into the next picture.
            user.MouseMove(0, 0);
        });
        return wxID_NONE;  // shown as usual
    }
    void Exit(wxDialog*) override {}

  private:
    Session& session_;
    MyEventFrame& frame_;
    std::function<void(const std::string&)> capture_;
    std::deque<std::string> pictures_;
};

class Run : public Scene {
  public:
    explicit Run(std::filesystem::path folder) : pictures_(std::move(folder)) {}

    ~Run() override {
        std::error_code ignored;
        if (!work_.empty()) std::filesystem::remove_all(work_, ignored);
    }

    bool Start(Session& session) override {
        session_ = &session;
        // Every picture shows the main window with what is over it, read
        // afresh each time.
        if (!ReadsStayCurrent()) {
            session.Fail(
                "the run pictures read the screen through Xlib; install libx11-dev and "
                "configure the build again");
            return false;
        }
        if (!MakeInputs()) return false;

        frame_ = session.OpenMainWindow();
        boxes_ = std::make_unique<BoxAnswerer>(session, *frame_,
                                               [this](const std::string& name) { Capture(name); });
        frame_->AddFiles(inputs_);
        frame_->output_text->SetValue(wxString::FromUTF8((work_ / "Restored").string()));
        frame_->duration_slider->SetValue(10);
        Session::After(kWindowSettleMs, [this] { Go(); });
        return true;
    }

  private:
    bool MakeInputs() {
        return MakeTransfers(*session_, "sonorel-run", kInputSeconds, work_, inputs_);
    }

    void Go() {
        frame_->progress_hook = [this](wxProgressDialog& dialog, ProgressKind, std::int64_t value) {
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
            const int range = dialog.GetRange();
            // The label, above the batch line.
            const bool first = dialog.GetMessage().BeforeFirst('\n') == "side-a";
            if (first && value == range * 6 / 10) Capture("processing.png");
            if (!first && value == range / 2) {
                // The user presses Cancel, is asked, and confirms.
                wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
                click.SetEventObject(dialog.FindWindow(wxID_CANCEL));
                boxes_->Expect({"cancel-question.png", "incomplete.png"});
                dialog.FindWindow(wxID_CANCEL)->GetEventHandler()->ProcessEvent(click);
            }
        };
        Session::Click(frame_->go_button);
        frame_->progress_hook = nullptr;
        Session::After(kAfterRunMs, [this] {
            Capture("go-finished.png");
            Preview();
        });
    }

    void Preview() {
        frame_->file_list->SetSelection(0);
        frame_->preview_output = &line_;
        frame_->progress_hook = [this](wxProgressDialog& dialog, ProgressKind kind,
                                       std::int64_t value) {
            // The user switches to the original once, so that the source
            // button shows a choice.
            if (kind == ProgressKind::Playing && !switched_) {
                switched_ = true;
                wxWindow* source = dialog.FindWindow("source_button");
                if (source == nullptr) {
                    session_->Fail("the Playing dialog has no source button");
                    return;
                }
                wxCommandEvent click(wxEVT_BUTTON, source->GetId());
                click.SetEventObject(source);
                source->GetEventHandler()->ProcessEvent(click);
            }
            if (kind == ProgressKind::Playing && value == dialog.GetRange() / 2 && !playingTaken_) {
                playingTaken_ = true;
                Capture("playing.png");
            }
        };
        Session::Click(frame_->preview_button);
        frame_->progress_hook = nullptr;
        Session::After(kAfterRunMs, [this] {
            Capture("preview-finished.png");
            PreviewWithoutDevice();
        });
    }

    // The default sound output; a machine without a sound card says so.
    void PreviewWithoutDevice() {
        frame_->preview_output = nullptr;
        boxes_->Expect({"no-device.png"});
        Session::Click(frame_->preview_button);
        Session::After(kAfterRunMs, [this] { frame_->Close(); });
    }

    // The main window's area of the screen, with whatever is over it.
    void Capture(const std::string& name) {
        session_->Picture(frame_->GetScreenRect(), pictures_ / name);
    }

    std::filesystem::path pictures_;
    std::filesystem::path work_;
    wxArrayString inputs_;
    Session* session_ = nullptr;
    MyEventFrame* frame_ = nullptr;
    std::unique_ptr<BoxAnswerer> boxes_;
    RealTimeLine line_;
    bool playingTaken_ = false;
    bool switched_ = false;
};

}  // namespace

std::unique_ptr<Scene> RunScene(std::filesystem::path folder) {
    return std::make_unique<Run>(std::move(folder));
}

}  // namespace sonorel::screenshot
