#pragma once
// The mouse and keyboard of a user, as real X input events
// (wxUIActionSimulator, sent through the XTest extension of the X server).
//
// Why events and not code: on GTK a selection or a text set from code skips
// what the toolkit does for a user. A click on a row moves the list's cursor
// row, and deleting a selected row then selects a neighbour; a text entry
// selects all its text when it takes the focus, so the next key replaces it.
// Faults like these only show when the window is driven through the X
// server as a user drives it, so the tests of selecting, pressing and typing
// do that.

#include <functional>
#include <memory>
#include <vector>

#include <wx/uiaction.h>

class wxListBox;
class wxTimer;
class wxTopLevelWindow;
class wxWindow;

namespace sonorel::test {

class UserInput {
  public:
    UserInput();
    ~UserInput();

    // Raises `window` and waits until it is on the screen and has the
    // keyboard focus; false when that never happened.
    bool Focus(wxTopLevelWindow& window);
    // The same without waiting, for the condition of Once: true once
    // `window` has the focus, else asks for it and returns false. Without a
    // window manager (as under xvfb-run) a new dialog gets no focus unless
    // it asks.
    static bool Focused(wxTopLevelWindow& window);

    // A left click on the middle of `control`, or on `offset` in it.
    void Click(wxWindow& control);
    void ClickAt(wxWindow& control, const wxPoint& offset, int modifiers = wxMOD_NONE);
    // A left click on row `row` of `list`, with Ctrl or Shift held if asked
    // (wxMOD_CONTROL, wxMOD_SHIFT).
    void ClickRow(wxListBox& list, int row, int modifiers = wxMOD_NONE);
    // The pointer over row `row`, without a click.
    void HoverRow(wxListBox& list, int row);
    // The pointer over the middle of `control`, without a click.
    void Hover(wxWindow& control);

    // The text of the tooltip GTK has on the screen now, empty when none:
    // what the user reads, wherever the toolkit found it.
    static wxString ShownTooltip();

    // One key (WXK_TAB, 'w', ...) pressed and released, with modifiers held.
    // A button pressed by its mnemonic clicks only when GTK's short
    // "pressed" look has passed (a quarter of a second): wait for the effect.
    void Key(int keycode, int modifiers = wxMOD_NONE);
    void Type(const char* text);
    // The same without waiting for the toolkit, for use in an action of Once.
    void Press(int keycode, int modifiers = wxMOD_NONE) { simulator_.Char(keycode, modifiers); }

    // Runs `action` from whatever event loop runs once `condition` holds: a
    // modal dialog runs a loop of its own, and the test's code waits in the
    // call that opened it until it closes.
    void Once(std::function<bool()> condition, std::function<void()> action);
    // The same for several, each in turn once the one before it has acted.
    struct Step {
        std::function<bool()> condition;
        std::function<void()> action;
    };
    void InTurn(std::vector<Step> steps);

    // Lets the toolkit handle everything the X server has sent so far.
    void Settle();
    // Handles events until `condition` holds, for at most five seconds;
    // returns whether it held.
    bool WaitFor(const std::function<bool()>& condition);

  private:
    wxPoint RowPoint(wxListBox& list, int row);

    wxUIActionSimulator simulator_;
    std::unique_ptr<wxTimer> poll_;
};

}  // namespace sonorel::test
