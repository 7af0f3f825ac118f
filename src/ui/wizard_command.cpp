#include "ui/my_event_frame.h"

namespace sonorel {

// Wizard: the settings wizard dialog and applying its preset come here.
void MyEventFrame::OnWizard(wxCommandEvent&) {}

}  // namespace sonorel
