#pragma once
// The output path of one block, after both estimates exist: weighted mix,
// crossfade with the previous block's tail, hiss low-pass (unless bypassed),
// bass and treble shelves, clamp to +-kOutputBound. Also leaves the next
// block's tail behind.
//
// The crossfade: samples 0..881 blend this block's mix with the tail through
// the raised-cosine CrossfadeRamp R (R[0] just below 1, so the tail dominates
// at the start); sample 882 is this block's mix alone. The tail is the mix of
// the estimates' last 882 samples, taken before the hiss low-pass and the
// shelves, which then run over it once, in the next block.

#include <span>

#include "engine/block_frame.h"
#include "engine/kernel_params.h"
#include "engine/kernel_state.h"
#include "filters/tone_filters.h"

namespace sonorel {

// Reads and writes the output path's state: tail, hissState, bassState and
// trebleState.
void FinishBlock(std::span<const float, kEstimateSpan> estimateL,
                 std::span<const float, kEstimateSpan> estimateR, const KernelParams& params,
                 const ToneFilters& filters, OutputState& state,
                 std::span<float, kBlockLength> out);

}  // namespace sonorel
