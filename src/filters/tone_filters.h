#pragma once
// The coefficient sets of one file: designed once by the per-file run before
// its processing pass, then read (never written) by the kernel. Each run owns
// its own record, so several files can be restored at once on several threads.

#include "filters/cascade.h"
#include "filters/detection_band_pass.h"

namespace sonorel {

struct ToneFilters {
    CascadeCoeffs rumbleCoeffs;  // rumble high-pass of each input channel
    CascadeCoeffs hissCoeffs;    // hiss low-pass of the mix (used only when active)
    DetectCoeffs detectCoeffs;   // 1 kHz detection band-pass of the click detector
};

// The hiss low-pass is active exactly when fs < 32 x hiss < 15 x fs, compared
// as unsigned 32-bit integers.
bool HissLowPassActive(unsigned sampleRate, unsigned hissHz);

// Designs the rumble high-pass, the detection band-pass and, when active, the
// hiss low-pass for a file of the given sample rate, in that order. Returns
// whether the hiss low-pass is active.
bool DesignToneFilters(ToneFilters& filters, unsigned sampleRate, unsigned rumbleHz,
                       unsigned hissHz);

}  // namespace sonorel
