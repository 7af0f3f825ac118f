#pragma once
// Setting a main-window slider from a computed value.

class wxSlider;

namespace sonorel {

// Sets `slider` to `value`, raised to the slider's own minimum if below it
// and lowered to its maximum if above it.
void SetClamped(wxSlider* slider, int value);

}  // namespace sonorel
