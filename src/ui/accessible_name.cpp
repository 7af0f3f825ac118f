#include "ui/accessible_name.h"

#include <gtk/gtk.h>

#include <wx/window.h>

namespace sonorel {

// The toolkit has no call for this on GTK; the control's own widget carries
// the name for the accessibility layer (ATK).
void SetAccessibleName(wxWindow& control, const wxString& name) {
    AtkObject* accessible = gtk_widget_get_accessible(GTK_WIDGET(control.GetHandle()));
    if (accessible != nullptr) atk_object_set_name(accessible, name.utf8_str());
}

}  // namespace sonorel
