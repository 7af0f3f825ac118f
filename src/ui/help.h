#pragma once
// The main window's help: the help book (resources/help_book.h) in the
// toolkit's HTML help viewer, opened at its contents by the Help button.

#include <memory>

#include "resources/help_viewer.h"

class wxWindow;

namespace sonorel {

// One help viewer per main window, whose frame is a child of that window and
// closes with it.
class HelpBook {
  public:
    explicit HelpBook(wxWindow* parent);
    ~HelpBook();
    HelpBook(const HelpBook&) = delete;
    HelpBook& operator=(const HelpBook&) = delete;

    void ShowContents();

    // The viewer, or null before the first use.
    wxHtmlHelpController* Viewer() const { return viewer_.get(); }

  private:
    bool Load();

    wxWindow* parent_;
    std::unique_ptr<HelpViewer> viewer_;
    bool loaded_ = false;
};

}  // namespace sonorel
