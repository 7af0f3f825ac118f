#pragma once
// Where the main window was and how large, kept in the settings file under
// keys of its own beside the nineteen settings, so that the window comes
// back as it was left. A stored place is used only while it still fits on
// a screen: a monitor unplugged or a smaller resolution since then must not
// leave the window out of reach.

#include <array>
#include <optional>

#include <wx/gdicmn.h>

class wxConfigBase;

namespace sonorel {

inline constexpr std::array<const char*, 4> kWindowRectKeys{"WindowX", "WindowY", "WindowWidth",
                                                            "WindowHeight"};
inline constexpr const char* kWindowMaximizedKey = "WindowMaximized";

struct WindowGeometry {
    wxRect rect;  // the window as it was when neither maximized nor minimized
    bool maximized = false;
};

// Nothing when a key is missing or not a number.
std::optional<WindowGeometry> ReadWindowGeometry(const wxConfigBase& config);
void WriteWindowGeometry(wxConfigBase& config, const WindowGeometry& geometry);

// Whether `rect` lies wholly within the work area of one of the screens.
bool FitsOnAScreen(const wxRect& rect);

}  // namespace sonorel
