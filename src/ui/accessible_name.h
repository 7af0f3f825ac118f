#pragma once
// The name a screen reader announces for a control. A button that shows
// only a picture has none of its own, so the main window gives its bitmap
// buttons the words of their tooltips.

#include <wx/string.h>

class wxWindow;

namespace sonorel {

void SetAccessibleName(wxWindow& control, const wxString& name);

}  // namespace sonorel
