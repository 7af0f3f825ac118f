#pragma once
// The program's own artwork: the application icon and the four 16-pixel
// pictures of the main window's bitmap buttons. The pictures are SVG files
// compiled into the program and rendered at the size asked for, so they stay
// sharp on high-resolution screens.

#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

namespace sonorel {

enum class ButtonIcon { Browse, Help, Info, Exit };

inline constexpr int kButtonIconSizePx = 16;

// The picture of one bitmap button, 16 x 16 pixels at normal resolution.
wxBitmapBundle ButtonBitmap(ButtonIcon icon);

// The application icon at 16, 24, 32 and 48 pixels, for the window manager.
wxIconBundle AppIcons();

}  // namespace sonorel
