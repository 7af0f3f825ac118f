#include "engine/output_stage.h"

#include "engine/kernel_tables.h"

namespace sonorel {

void FinishBlock(std::span<const float, kEstimateSpan> estimateL,
                 std::span<const float, kEstimateSpan> estimateR, const KernelParams& params,
                 const ToneFilters& filters, OutputState& state,
                 std::span<float, kBlockLength> out) {
    const auto& ramp = GetKernelTables().CrossfadeRamp;
    // Local copies: the compiler need not reload them after every store.
    const double wL = params.wL;
    const double wR = params.wR;
    const bool hissActive = filters.hissActive;
    const ShelfCoeffs shelves = filters.shelves;
    // The filter states too: each sample's recursions then stay in registers
    // instead of going through memory, which lengthened every step.
    CascadeState hissState = state.hissState;
    float bassState = state.bassState;
    float trebleState = state.trebleState;
    for (int i = 0; i < kBlockLength; ++i) {
        double mix = wL * estimateL[i] + wR * estimateR[i];
        if (i < kOverlap) mix += (state.tail[i] - mix) * ramp[i];
        // The hiss low-pass takes and gives float samples; bypassed, the mix
        // stays in double until the output sample is stored.
        double v = mix;
        if (hissActive) {
            v = static_cast<float>(
                RunCascade(static_cast<float>(mix), filters.hissCoeffs, hissState));
        }
        float y = RunShelves(v, shelves, bassState, trebleState);
        if (y > kOutputBound) {
            y = kOutputBound;
        } else if (y < -kOutputBound) {
            y = -kOutputBound;
        } else if (y != y) {
            // Only a non-finite input can get here; never write a NaN sample.
            y = 0.0f;
        }
        out[i] = y;
    }
    state.hissState = hissState;
    state.bassState = bassState;
    state.trebleState = trebleState;
    for (int k = 0; k < kOverlap; ++k) {
        state.tail[k] =
            static_cast<float>(wL * estimateL[kBlockLength + k] + wR * estimateR[kBlockLength + k]);
    }
}

}  // namespace sonorel
