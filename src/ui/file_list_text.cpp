#include "ui/file_list_text.h"

#include <wx/filename.h>

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

}  // namespace sonorel
