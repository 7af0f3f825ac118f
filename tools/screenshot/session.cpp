#include "screenshot/session.h"

#include <cstdio>
#include <system_error>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/image.h>
#include <wx/timer.h>

#include "screenshot/screen_reader.h"
#include "ui/my_event_frame.h"

namespace sonorel::screenshot {

MyEventFrame* Session::OpenMainWindow() {
    frame_ = new MyEventFrame();
    wxTheApp->SetTopWindow(frame_);
    frame_->Show();
    return frame_;
}

void Session::After(int ms, std::function<void()> step) {
    auto* timer = new wxTimer();
    timer->Bind(wxEVT_TIMER, [timer, step = std::move(step)](wxTimerEvent&) {
        step();
        timer->Stop();
        wxTheApp->CallAfter([timer] { delete timer; });
    });
    timer->StartOnce(ms);
}

void Session::Click(wxButton* button) {
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

void Session::Picture(const wxRect& area, const std::filesystem::path& path) {
    wxTheApp->Yield(true);
    wxImage picture;
    if (!ReadScreen(area, picture)) {
        Fail("could not read the screen for " + path.string());
        return;
    }
    std::filesystem::path partial = path;
    partial += ".part";
    std::error_code error;
    const bool saved = picture.SaveFile(wxString::FromUTF8(partial.string()), wxBITMAP_TYPE_PNG);
    if (saved) std::filesystem::rename(partial, path, error);
    if (!saved || error) {
        std::filesystem::remove(partial, error);
        Fail("could not write " + path.string());
        return;
    }
    std::printf("wrote %s\n", path.string().c_str());
}

void Session::PictureOf(wxWindow& window, const std::filesystem::path& path) {
    window.Raise();
    window.Update();
    Picture(window.GetScreenRect(), path);
}

void Session::Fail(const std::string& message) {
    std::fprintf(stderr, "sonorel_screenshot: %s\n", message.c_str());
    exitCode_ = 1;
}

}  // namespace sonorel::screenshot
