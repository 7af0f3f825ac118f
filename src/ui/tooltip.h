#pragma once
// A control's tooltip that GTK finds under the pointer even where the
// control lies inside a group.
//
// GTK looks up the widget under the pointer from the window the motion
// event came in. A button or check box has an input-only window of its own
// that does not ask for motion, so its motion arrives in the frame's window,
// and GTK then takes the first of the frame's children under the pointer:
// the group's box, created before the controls it frames, which has no
// tooltip. Asking for motion on the control's own window makes GTK start
// from the control.

#include <wx/string.h>

class wxWindow;

namespace sonorel {

void SetToolTipInGroup(wxWindow& control, const wxString& tooltip);

}  // namespace sonorel
