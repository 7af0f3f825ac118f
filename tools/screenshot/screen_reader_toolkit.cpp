#include "screenshot/screen_reader.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>

namespace sonorel::screenshot {

bool ReadScreen(const wxRect& area, wxImage& picture) {
    wxBitmap bitmap(area.GetSize());
    {
        wxScreenDC screen;
        wxMemoryDC memory(bitmap);
        if (!memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y)) return false;
    }
    picture = bitmap.ConvertToImage();
    return picture.IsOk();
}

// The screen device context keeps showing its first picture under GTK 3.
bool ReadsStayCurrent() {
    return false;
}

}  // namespace sonorel::screenshot
