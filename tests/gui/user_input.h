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

#include <wx/uiaction.h>

class wxListBox;
class wxTopLevelWindow;
class wxWindow;

namespace sonorel::test {

class UserInput {
  public:
    // Raises `window` and waits until it is on the screen and has the
    // keyboard focus; false when that never happened.
    bool Focus(wxTopLevelWindow& window);

    // A left click on the middle of `control`, or on `offset` in it.
    void Click(wxWindow& control);
    void ClickAt(wxWindow& control, const wxPoint& offset, int modifiers = wxMOD_NONE);
    // A left click on row `row` of `list`, with Ctrl or Shift held if asked
    // (wxMOD_CONTROL, wxMOD_SHIFT).
    void ClickRow(wxListBox& list, int row, int modifiers = wxMOD_NONE);
    // The pointer over row `row`, without a click.
    void HoverRow(wxListBox& list, int row);

    // One key (WXK_TAB, 'w', ...) pressed and released, with modifiers held.
    void Key(int keycode, int modifiers = wxMOD_NONE);
    void Type(const char* text);

    // Lets the toolkit handle everything the X server has sent so far.
    void Settle();
    // Handles events until `condition` holds, for at most five seconds;
    // returns whether it held.
    bool WaitFor(const std::function<bool()>& condition);

  private:
    wxPoint RowPoint(wxListBox& list, int row);

    wxUIActionSimulator simulator_;
};

}  // namespace sonorel::test
