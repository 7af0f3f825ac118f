#include "ui/my_event_frame.h"

namespace sonorel {

// Go!: the batch run over every listed file into the output folder comes here.
void MyEventFrame::OnStart(wxCommandEvent&) {}

}  // namespace sonorel
