#pragma once
// The program's help: the book Sonorel.htb (HTML pages with contents and
// index, zipped) shown in the toolkit's HTML help viewer. The main window's
// Help button opens its contents; the wizard's Help button opens the topic
// about the wizard's questions.

#include <memory>

#include <wx/arrstr.h>
#include <wx/string.h>

class wxHtmlHelpController;
class wxWindow;

namespace sonorel {

// Context number of the topic that explains the wizard's questions.
inline constexpr int kWizardHelpTopic = 1;

inline constexpr const char* kHelpBookName = "Sonorel.htb";

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

// One help viewer per main window, whose frame is a child of that window and
// closes with it.
class HelpBook {
  public:
    explicit HelpBook(wxWindow* parent);
    ~HelpBook();
    HelpBook(const HelpBook&) = delete;
    HelpBook& operator=(const HelpBook&) = delete;

    void ShowContents();
    void ShowTopic(int contextId);

    // The viewer, or null before the first use.
    wxHtmlHelpController* Viewer() const { return viewer_.get(); }

  private:
    bool Load();

    wxWindow* parent_;
    std::unique_ptr<wxHtmlHelpController> viewer_;
    bool loaded_ = false;
};

// Opens topic `contextId` in the help of the main window that `window`
// belongs to (the wizard passes itself).
void ShowHelpTopic(wxWindow* window, int contextId);

}  // namespace sonorel
