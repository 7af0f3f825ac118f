#include "ui/tooltip.h"

#include <gtk/gtk.h>

#include <wx/window.h>

namespace sonorel {

void SetToolTipInGroup(wxWindow& control, const wxString& tooltip) {
    control.SetToolTip(tooltip);
    // Taken up by the control's input window when it is realised.
    gtk_widget_add_events(GTK_WIDGET(control.GetHandle()), GDK_POINTER_MOTION_MASK);
}

}  // namespace sonorel
