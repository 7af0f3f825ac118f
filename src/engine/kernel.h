#pragma once
// The restoration kernel: 883 stereo frames in, 883 restored mono samples out.
//
// Per block: click repair of each channel, least-squares estimate of each
// channel from the other, weighted mix, crossfade with the previous block's
// tail, optional hiss low-pass, bass and treble shelves, clamp to +-0.999f.
// The kernel delays by kKernelDelay (3162) samples and does not compensate.
//
// Timing: click repair delays each channel by 925 samples into channel
// buffers whose index j holds input frame 883 n + j - 3810; output sample i
// is the estimate of index 648 + i (drawn from the other channel 88 samples
// either side of it), so output sample i of block n is input frame
// 883 n + i - 3162. The first three blocks of every file are exactly 0.
//
// Real-time contract: ProcessBlock allocates nothing, locks nothing and never
// fails. Everything it keeps lives in the caller's KernelState; the filter
// coefficients are read-only during the processing pass. Its scratch lives on
// the stack (under 200 KB), so several files can be restored at once on
// several threads, each with its own state. The input is assumed finite (the
// caller replaces NaN and infinity); a non-finite sample never reaches the
// output, which then holds 0.

#include <span>

#include "engine/kernel_state.h"
#include "filters/tone_filters.h"

namespace sonorel {

// The two tables that every file shares. Built once per process, on first
// use, thread-safely; identical for every file.
struct KernelTables {
    std::array<float, kWindowHalf> AnalysisWindow;  // first half of the 2885-point window
    std::array<float, kOverlap> CrossfadeRamp;      // R[i] = (1 + cos((i + 1) pi / 883)) / 2
};
const KernelTables& GetKernelTables();

// Zeroes the whole state and makes sure the tables exist. Call once per file,
// before the first ProcessBlock.
void InitKernelTables(KernelState& state);

// Per-file parameters, fixed for the whole processing pass.
struct KernelParams {
    float wL = 0.0f;     // weight of the left estimate in the mix, sign included
    float wR = 0.0f;     // weight of the right estimate
    float nfL = 0.0f;    // noise-floor term of the estimator whose input is the left channel
    float nfR = 0.0f;    // ... whose input is the right channel
    float click = 0.0f;  // click sensitivity ("Click Remover" position x 0.5)
    float rejuv = 0.0f;  // relative regularisation ("Rejuvenator" position squared x 16/177)
    float g = 1.0f;      // common gain of the shelves
    float bp = 0.0f;     // bass section pole
    float bz = 0.0f;     // bass section zero
    float tp = 0.0f;     // treble section pole
    float tz = 0.0f;     // treble section zero
    int mode = 0;        // 1 = Vocal Remover, anything else Mono Enhancer
};

// hissState: the hissState field of `state` when the hiss low-pass is active,
// nullptr to bypass it. bassState and trebleState belong to the caller and
// start at 0 for every file.
void ProcessBlock(KernelState& state, std::span<const float, kBlockLength> left,
                  std::span<const float, kBlockLength> right, const KernelParams& params,
                  const ToneFilters& filters, CascadeState* hissState, float& bassState,
                  float& trebleState, std::span<float, kBlockLength> out);

}  // namespace sonorel
