#include "ui/dnd_file.h"

#include "ui/my_event_frame.h"

namespace sonorel {

bool DnDFile::OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) {
    frame_->AddFiles(names);
    return true;
}

}  // namespace sonorel
