#pragma once
// The fixed filters of one file's signal path: designed once by the per-file
// run before its processing pass, from the settings and the file's sample
// rate, then read (never written) by the kernel. Each run designs its own
// set, so several files can be restored at once on several threads.

#include "filters/cascade.h"
#include "filters/detection_band_pass.h"
#include "filters/shelf.h"

namespace sonorel {

// The settings the designs depend on.
struct ToneSettings {
    unsigned rumbleHz = 40;
    unsigned hissHz = 18000;
    int bassLiftDb = 0;
    int trebleLiftDb = 0;
};

struct ToneFilters {
    CascadeCoeffs rumbleCoeffs;  // rumble high-pass of each input channel
    CascadeCoeffs hissCoeffs;    // hiss low-pass of the mix, designed only when active
    bool hissActive = false;     // false: the mix bypasses the hiss low-pass
    DetectCoeffs detectCoeffs;   // 1 kHz detection band-pass of the click detector
    ShelfCoeffs shelves;         // bass and treble shelves with their common gain
};

// The hiss low-pass is active exactly when fs < 32 x hiss < 15 x fs: where its
// cut-off lies between 1/16 and 15/16 of the Nyquist frequency. Towards the
// Nyquist frequency its stopband, which begins 1.5 times higher on the
// pre-warped axis, would start in the last few per cent below it (96 % at
// 15/16), so the filter would droop the passband and remove almost nothing;
// towards 0 Hz it would take the programme itself. The products are 64-bit,
// which gives the answer of the original 32-bit rule for every real sample
// rate without wrapping for absurd ones.
bool HissLowPassActive(unsigned sampleRate, unsigned hissHz);

// Designs the bass and treble shelves, the rumble high-pass, the detection
// band-pass and, when active, the hiss low-pass for a file of the given
// sample rate.
ToneFilters DesignToneFilters(unsigned sampleRate, const ToneSettings& tone);

}  // namespace sonorel
