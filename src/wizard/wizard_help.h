#pragma once
// Help from inside the wizard. While a modal dialog runs, GTK sends input
// only to that dialog and to windows opened modally on top of it, so the
// main window's help viewer (an ordinary frame) would appear but could not
// be scrolled, searched or closed until the wizard was dismissed. The
// wizard therefore shows the same book in a modal help dialog of its own,
// open at the requested topic; closing it returns to the wizard with its
// answers as they were.

class wxWindow;

namespace sonorel {

// Shows topic `contextId` of the help book modally over `owner`, and
// returns when the user closes it. A missing book is reported by the help
// viewer's own message.
void ShowWizardHelp(wxWindow* owner, int contextId);

}  // namespace sonorel
