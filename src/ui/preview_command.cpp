#include "ui/my_event_frame.h"

namespace sonorel {

// Preview: processing and playing the start of the selected files comes here.
void MyEventFrame::OnPreview(wxCommandEvent&) {}

}  // namespace sonorel
