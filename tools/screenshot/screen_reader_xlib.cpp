#include "screenshot/screen_reader.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace sonorel::screenshot {

// A connection of its own for each read: the toolkit's connection is left
// alone, and the image is the server's current one.
bool ReadScreen(const wxRect& area, wxImage& picture) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    XImage* shot = XGetImage(display, DefaultRootWindow(display), area.x, area.y,
                             static_cast<unsigned>(area.width), static_cast<unsigned>(area.height),
                             AllPlanes, ZPixmap);
    if (shot != nullptr) {
        picture.Create(area.width, area.height);
        for (int y = 0; y < area.height; ++y) {
            for (int x = 0; x < area.width; ++x) {
                const unsigned long pixel = XGetPixel(shot, x, y);
                picture.SetRGB(x, y, (pixel & shot->red_mask) >> 16,
                               (pixel & shot->green_mask) >> 8, pixel & shot->blue_mask);
            }
        }
        XDestroyImage(shot);
    }
    XCloseDisplay(display);
    return shot != nullptr;
}

bool ReadsStayCurrent() {
    return true;
}

}  // namespace sonorel::screenshot
