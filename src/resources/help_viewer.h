#pragma once
// The toolkit's HTML help viewer as both help windows of the program use
// it: opened large enough that every topic title of the contents shows
// whole, with the book's topics unfolded, and closed by Escape or Ctrl+W as
// well as by its close box.

#include <wx/html/helpctrl.h>

namespace sonorel {

class HelpViewer : public wxHtmlHelpController {
  public:
    HelpViewer(int style, wxWindow* parent);

    // The contents page, with every topic listed beside it.
    void ShowContents();

  protected:
    wxHtmlHelpFrame* CreateHelpFrame(wxHtmlHelpData* data) override;
    wxHtmlHelpDialog* CreateHelpDialog(wxHtmlHelpData* data) override;
};

}  // namespace sonorel
