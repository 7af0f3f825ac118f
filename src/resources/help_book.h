#pragma once
// The program's help book, Sonorel.htb (HTML pages with contents and index,
// zipped, built from help/): where it is, the topic the wizard opens, what
// is said when it is missing, and what the toolkit must be given to read
// it. The main window's help viewer (ui/help.h) and the wizard's
// (wizard/wizard_help.h) both use this.

#include <wx/arrstr.h>
#include <wx/string.h>

class wxWindow;

namespace sonorel {

inline constexpr const char* kHelpBookName = "Sonorel.htb";

// Context number of the topic that explains the wizard's questions.
inline constexpr int kWizardHelpTopic = 1;

// Where the book is looked for, in order: next to the program, in
// ../share/sonorel from it, and in the data folder it was installed to (only
// the path given to UseHelpBook, if one was).
wxArrayString HelpBookPlaces();

// The first of those places that has the book; the first place when none
// has it.
wxString FindHelpBook();

// When no place has the book, says so in a message box over `parent` that
// names every place looked in, and returns true.
bool ReportMissingHelpBook(wxWindow* parent);

// Makes FindHelpBook() return `path`; for programs that run from the build
// tree, such as the tests.
void UseHelpBook(const wxString& path);

// The book is a zip archive and its pages show PNG pictures; the toolkit
// reads neither until it is given a handler. Registers both, once; call it
// before a viewer opens the book.
void AddHelpBookHandlers();

}  // namespace sonorel
