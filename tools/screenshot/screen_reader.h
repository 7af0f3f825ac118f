#pragma once
// Reads a part of the screen as the X server shows it, dialogs over the
// windows included. CMake builds one of two readers: straight from the X
// server through Xlib where it is there, else through the toolkit's screen
// device context, which under GTK 3 keeps showing its first picture.

#include <wx/gdicmn.h>
#include <wx/image.h>

namespace sonorel::screenshot {

// False when the screen could not be read.
bool ReadScreen(const wxRect& area, wxImage& picture);

// True where every read shows the screen as it is at that moment, so that a
// program may take several pictures.
bool ReadsStayCurrent();

}  // namespace sonorel::screenshot
