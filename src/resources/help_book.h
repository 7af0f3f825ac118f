#pragma once
// The program's help book, Sonorel.htb (HTML pages with contents and index,
// zipped, built from help/): where it is, the topic the wizard opens, and
// what the toolkit must be given to read it. The main window's help viewer
// (ui/help.h) and the wizard's (wizard/wizard_help.h) both use this.

#include <wx/string.h>

namespace sonorel {

inline constexpr const char* kHelpBookName = "Sonorel.htb";

// Context number of the topic that explains the wizard's questions.
inline constexpr int kWizardHelpTopic = 1;

// Where the book is: next to the program, in ../share/sonorel from it, or in
// the data folder it was installed to. When none has the book, the first
// place, so that the viewer's message names where it was expected.
wxString FindHelpBook();

// Makes FindHelpBook() return `path`; for programs that run from the build
// tree, such as the tests.
void UseHelpBook(const wxString& path);

// The book is a zip archive and its pages show PNG pictures; the toolkit
// reads neither until it is given a handler. Registers both, once; call it
// before a viewer opens the book.
void AddHelpBookHandlers();

}  // namespace sonorel
