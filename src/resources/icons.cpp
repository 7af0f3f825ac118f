#include "resources/icons.h"

#include <array>

#include "resources/icon_svg.h"

namespace sonorel {

namespace {

const char* SvgOf(ButtonIcon icon) {
    switch (icon) {
        case ButtonIcon::Browse:
            return svg::kBrowseButton;
        case ButtonIcon::Help:
            return svg::kHelpButton;
        case ButtonIcon::Info:
            return svg::kInfoButton;
        case ButtonIcon::Exit:
            return svg::kExitButton;
    }
    return svg::kHelpButton;
}

}  // namespace

wxBitmapBundle ButtonBitmap(ButtonIcon icon) {
    return wxBitmapBundle::FromSVG(SvgOf(icon), wxSize(kButtonIconSizePx, kButtonIconSizePx));
}

wxIconBundle AppIcons() {
    constexpr std::array<int, 4> kSizesPx{16, 24, 32, 48};
    wxIconBundle icons;
    for (const int sizePx : kSizesPx) {
        // Rendered at its own default size, so the bitmap has no DPI scale
        // factor and the icon really is sizePx pixels square.
        const wxSize size(sizePx, sizePx);
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmapBundle::FromSVG(svg::kAppIcon, size).GetBitmap(size));
        icons.AddIcon(icon);
    }
    return icons;
}

}  // namespace sonorel
