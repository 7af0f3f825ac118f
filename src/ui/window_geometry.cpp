#include "ui/window_geometry.h"

#include <memory>

#include <wx/config.h>
#include <wx/display.h>
#include <wx/stopwatch.h>

#include "ui/my_event_frame.h"
#include "ui/settings_store.h"

namespace sonorel {

std::optional<WindowGeometry> ReadWindowGeometry(const wxConfigBase& config) {
    std::array<long, kWindowRectKeys.size()> values{};
    for (std::size_t i = 0; i < kWindowRectKeys.size(); ++i) {
        const std::optional<long> value = ReadInteger(config, kWindowRectKeys[i]);
        if (!value) return std::nullopt;
        values[i] = *value;
    }
    WindowGeometry geometry;
    geometry.rect = wxRect(static_cast<int>(values[0]), static_cast<int>(values[1]),
                           static_cast<int>(values[2]), static_cast<int>(values[3]));
    const std::optional<long> maximized = ReadInteger(config, kWindowMaximizedKey);
    geometry.maximized = maximized && *maximized != 0;
    return geometry;
}

void WriteWindowGeometry(wxConfigBase& config, const WindowGeometry& geometry) {
    const wxRect& r = geometry.rect;
    const long values[] = {r.x, r.y, r.width, r.height};
    for (std::size_t i = 0; i < kWindowRectKeys.size(); ++i) {
        config.Write(kWindowRectKeys[i], values[i]);
    }
    config.Write(kWindowMaximizedKey, geometry.maximized);
}

bool FitsOnAScreen(const wxRect& rect) {
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        if (wxDisplay(i).GetClientArea().Contains(rect)) return true;
    }
    return false;
}

// Applied before the window is first shown. A size below the laid-out one
// is refused like a place off the screens.
void MyEventFrame::RestoreWindowGeometry(const wxConfigBase& settingsFile) {
    const std::optional<WindowGeometry> stored = ReadWindowGeometry(settingsFile);
    if (!stored || !FitsOnAScreen(stored->rect)) return;
    const wxSize minimum = GetMinSize();
    if (stored->rect.width < minimum.x || stored->rect.height < minimum.y) return;
    SetSize(stored->rect);
    normal_rect = stored->rect;
    KeepPlaceWhileMapping(stored->rect.GetPosition(), stored->maximized);
}

// A window manager may put a new window where it likes when it maps it
// (openbox does, whatever place the program asked for), but follows a
// move of a window already on the screen, once it knows the window's
// frame. So while the window is being mapped each move restarts a short
// wait, and a window that has then settled anywhere but the stored place
// is moved there. After the first moments the moves are the user's. A
// window left maximized is maximized only then, so that it is restored to
// its stored place and size.
void MyEventFrame::KeepPlaceWhileMapping(const wxPoint& place, bool maximize) {
    constexpr long kMappingMs = 2000;
    constexpr int kSettleMs = 250;
    auto clock = std::make_shared<wxStopWatch>();
    place_timer.SetOwner(this);
    Bind(
        wxEVT_TIMER,
        [this, place, maximize](wxTimerEvent&) {
            if (IsMaximized()) return;
            if (GetPosition() != place) Move(place);
            if (maximize) Maximize();
        },
        place_timer.GetId());
    Bind(wxEVT_MOVE, [this, clock](wxMoveEvent& event) {
        event.Skip();
        if (clock->Time() < kMappingMs) place_timer.StartOnce(kSettleMs);
    });
    place_timer.StartOnce(kSettleMs);
}

// A maximized or minimized window is stored with the place it had before,
// so that it comes back to that when it is restored.
WindowGeometry MyEventFrame::CurrentWindowGeometry() const {
    WindowGeometry geometry;
    geometry.maximized = IsMaximized();
    const bool normal = !IsMaximized() && !IsIconized();
    geometry.rect = normal || normal_rect.IsEmpty() ? GetRect() : normal_rect;
    return geometry;
}

}  // namespace sonorel
