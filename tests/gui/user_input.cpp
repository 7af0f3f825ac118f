#include "user_input.h"

#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <wx/app.h>
#include <wx/listbox.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include "ui/file_list_text.h"

namespace sonorel::test {
namespace {

// Long enough for a loaded machine, short enough that a failing wait does
// not stall the suite.
constexpr long kWaitLimitMs = 5000;
constexpr int kPollMs = 10;

}  // namespace

UserInput::UserInput() = default;
UserInput::~UserInput() = default;

void UserInput::Once(std::function<bool()> condition, std::function<void()> action) {
    InTurn({{std::move(condition), std::move(action)}});
}

void UserInput::InTurn(std::vector<Step> steps) {
    poll_ = std::make_unique<wxTimer>();
    poll_->Bind(wxEVT_TIMER,
                [this, steps = std::move(steps), next = std::size_t{0}](wxTimerEvent&) mutable {
                    if (next >= steps.size() || !steps[next].condition()) return;
                    if (next + 1 == steps.size()) poll_->Stop();
                    steps[next++].action();
                });
    poll_->Start(kPollMs);
}

bool UserInput::Focus(wxTopLevelWindow& window) {
    return WaitFor([&window] { return Focused(window); });
}

bool UserInput::Focused(wxTopLevelWindow& window) {
    if (window.IsShownOnScreen() && window.IsActive()) return true;
    window.Raise();
    return false;
}

void UserInput::Click(wxWindow& control) {
    const wxSize size = control.GetSize();
    ClickAt(control, wxPoint(size.x / 2, size.y / 2));
}

void UserInput::ClickAt(wxWindow& control, const wxPoint& offset, int modifiers) {
    simulator_.MouseMove(control.ClientToScreen(offset));
    Settle();
    const int modifierKeys[][2] = {{wxMOD_CONTROL, WXK_CONTROL}, {wxMOD_SHIFT, WXK_SHIFT}};
    for (const auto& [flag, key] : modifierKeys) {
        if (modifiers & flag) simulator_.KeyDown(key);
    }
    simulator_.MouseClick();
    for (const auto& [flag, key] : modifierKeys) {
        if (modifiers & flag) simulator_.KeyUp(key);
    }
    Settle();
}

void UserInput::ClickRow(wxListBox& list, int row, int modifiers) {
    ClickAt(list, RowPoint(list, row), modifiers);
}

void UserInput::HoverRow(wxListBox& list, int row) {
    simulator_.MouseMove(list.ClientToScreen(RowPoint(list, row)));
    Settle();
}

void UserInput::Hover(wxWindow& control) {
    const wxSize size = control.GetSize();
    simulator_.MouseMove(control.ClientToScreen(wxPoint(size.x / 2, size.y / 2)));
    Settle();
}

namespace {

// The first label in `widget` or below it.
const char* LabelText(GtkWidget* widget) {
    if (GTK_IS_LABEL(widget)) return gtk_label_get_text(GTK_LABEL(widget));
    if (!GTK_IS_CONTAINER(widget)) return nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    const char* text = nullptr;
    for (GList* child = children; child != nullptr && text == nullptr; child = child->next)
        text = LabelText(GTK_WIDGET(child->data));
    g_list_free(children);
    return text;
}

}  // namespace

wxString UserInput::ShownTooltip() {
    wxString shown;
    GList* windows = gtk_window_list_toplevels();
    for (GList* window = windows; window != nullptr; window = window->next) {
        auto* widget = GTK_WIDGET(window->data);
        if (g_strcmp0(G_OBJECT_TYPE_NAME(widget), "GtkTooltipWindow") != 0 ||
            !gtk_widget_get_mapped(widget))
            continue;
        if (const char* text = LabelText(widget)) shown = wxString::FromUTF8(text);
    }
    g_list_free(windows);
    return shown;
}

wxPoint UserInput::RowPoint(wxListBox& list, int row) {
    const wxPoint middle = EntryMiddle(list, row);
    EXPECT_NE(middle, wxDefaultPosition) << "row " << row << " is not on the screen";
    return middle;
}

void UserInput::Key(int keycode, int modifiers) {
    simulator_.Char(keycode, modifiers);
    Settle();
}

void UserInput::Type(const char* text) {
    simulator_.Text(text);
    Settle();
}

void UserInput::Settle() {
    // Everything sent has reached the server, and its events are queued.
    gdk_display_sync(gdk_display_get_default());
    // Then until the toolkit has had nothing to do for a few polls.
    for (int quiet = 0; quiet < 3;) {
        const bool busy = wxTheApp->Pending();
        wxTheApp->Yield(true);
        if (busy) {
            quiet = 0;
        } else {
            wxMilliSleep(kPollMs);
            ++quiet;
        }
    }
}

bool UserInput::WaitFor(const std::function<bool()>& condition) {
    const wxStopWatch clock;
    while (!condition()) {
        if (clock.Time() > kWaitLimitMs) return false;
        wxTheApp->Yield(true);
        wxMilliSleep(kPollMs);
    }
    return true;
}

}  // namespace sonorel::test
