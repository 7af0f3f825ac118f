#pragma once
// Files dropped on the main window's file list. The list box owns this
// target; the target only points at the window.

#include <wx/dnd.h>

namespace sonorel {

class MyEventFrame;

class DnDFile : public wxFileDropTarget {
  public:
    explicit DnDFile(MyEventFrame* frame) : frame_(frame) {}

    // Adds the readable names to the list; the drop counts as accepted
    // whatever was added.
    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& names) override;

  private:
    MyEventFrame* frame_;
};

}  // namespace sonorel
