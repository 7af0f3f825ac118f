#pragma once
// What every scene of the screenshot program shares: the main window as the
// program opens it, steps run later from whatever event loop is running then,
// buttons pressed as a user would, and parts of the screen saved as PNG.

#include <filesystem>
#include <functional>
#include <string>

#include <wx/gdicmn.h>

class wxButton;
class wxWindow;

namespace sonorel {
class MyEventFrame;
}

namespace sonorel::screenshot {

// Time for GTK to map, lay out and paint a window that has just been shown.
inline constexpr int kWindowSettleMs = 1500;
// The same for a message box.
inline constexpr int kBoxSettleMs = 800;

class Session {
  public:
    // Builds the main window as the program does and shows it.
    MyEventFrame* OpenMainWindow();
    MyEventFrame* Frame() const { return frame_; }

    // Runs `step` once, `ms` from now, from the event loop that is running
    // then (a modal dialog's own, for instance).
    static void After(int ms, std::function<void()> step);

    // What a click on an enabled button does.
    static void Click(wxButton* button);

    // Lets the toolkit paint what is pending, then saves `area` of the screen
    // as a PNG file at `path`, under a temporary name until it is complete.
    // A failure is reported and makes the program's result 1.
    void Picture(const wxRect& area, const std::filesystem::path& path);
    // The same for the area of `window`, raised over everything else first.
    void PictureOf(wxWindow& window, const std::filesystem::path& path);

    void Fail(const std::string& message);
    int ExitCode() const { return exitCode_; }

  private:
    MyEventFrame* frame_ = nullptr;
    int exitCode_ = 0;
};

}  // namespace sonorel::screenshot
