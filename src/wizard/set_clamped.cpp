#include "wizard/set_clamped.h"

#include <algorithm>

#include <wx/slider.h>

namespace sonorel {

void SetClamped(wxSlider* slider, int value) {
    slider->SetValue(std::clamp(value, slider->GetMin(), slider->GetMax()));
}

}  // namespace sonorel
