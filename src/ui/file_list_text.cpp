#include "ui/file_list_text.h"

#include <wx/filename.h>
#include <wx/listbox.h>

namespace sonorel {

wxString EntryText(const wxString& path) {
    const wxFileName file(path);
    if (file.GetPath().empty()) return file.GetFullName();
    return file.GetFullName() + wxString::FromUTF8(" \u2014 ") + file.GetPath();
}

wxString InputFilesCaption(unsigned count) {
    if (count == 0) return "Input Files";
    return wxString::Format("Input Files (%u)", count);
}

wxPoint EntryMiddle(const wxListBox& list, int entry) {
    const wxSize size = list.GetClientSize();
    const int x = size.x / 4;
    int top = -1, bottom = -1;
    for (int y = 0; y < size.y; ++y) {
        if (list.HitTest(wxPoint(x, y)) == entry) {
            if (top < 0) top = y;
            bottom = y;
        }
    }
    return top < 0 ? wxDefaultPosition : wxPoint(x, (top + bottom) / 2);
}

}  // namespace sonorel
