#pragma once
// What a preview run leaves for playback: the restored start of the file as
// 16-bit samples, in whole chunks of 7064 (playback.h plays it), and beside
// it the original of the same stretch, aligned with it, so that the playback
// can switch between them (preview_source.h).

#include <cstdint>
#include <string>
#include <vector>

namespace sonorel {

struct PreviewBuffer {
    std::vector<std::int16_t> samples;  // sized once by the run; `stored` of them are filled
    // The original as the kernel hears it, (L + R) / 2, or (L - R) / 2 with
    // "Anti-Phase Signal Channels": sample k is input frame k - kernel delay,
    // so that it lines up with samples[k] (silence before the delay). The
    // same size as `samples`, filled as far.
    std::vector<std::int16_t> original;
    // The factor that brings `original` to the level of `samples` before
    // the removed part is taken: |wL| + |wR|, the kernel's two mixing
    // weights. The kernel mixes its estimates of the walls with these
    // weights (they hold the Gain setting and, unless "Keep Original Signal
    // Level" is set, the level normalisation), so for the shared signal s of
    // a mono record, (L + R) / 2 = s, the restored level is (|wL| + |wR|) s.
    // With Keep Original Signal Level the factor is the Gain setting.
    float originalGain = 1.0f;
    std::int64_t stored = 0;
    int sampleRate = 0;
    std::string label;  // the input's file name without folder and extension
};

}  // namespace sonorel
