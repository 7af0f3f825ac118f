#pragma once
// The output path of one block, after both estimates exist: weighted mix,
// crossfade with the previous block's tail, optional hiss low-pass, bass and
// treble shelves, clamp. Also leaves the next block's tail behind.
//
// The crossfade: samples 0..881 blend this block's mix with the tail through
// the raised-cosine CrossfadeRamp R (R[0] just below 1, so the tail dominates
// at the start); sample 882 is this block's mix alone. The tail is the mix of
// the estimates' last 882 samples, taken before the hiss low-pass and the
// shelves, which then run over it once, in the next block.

#include <span>

#include "engine/kernel.h"

namespace sonorel {

inline constexpr float kOutputBound = 0.999f;  // the clamp; 0.99900001287 as a float

void FinishBlock(std::span<const float, kEstimateSpan> estimateL,
                 std::span<const float, kEstimateSpan> estimateR, const KernelParams& params,
                 const CascadeCoeffs& hissCoeffs, CascadeState* hissState, float& bassState,
                 float& trebleState, std::span<float, kOverlap> tail,
                 std::span<float, kBlockLength> out);

}  // namespace sonorel
