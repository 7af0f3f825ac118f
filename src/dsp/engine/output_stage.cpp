#include "engine/output_stage.h"

#include "engine/kernel_tables.h"

namespace sonorel {

void FinishBlock(std::span<const float, kEstimateSpan> estimateL,
                 std::span<const float, kEstimateSpan> estimateR, const KernelParams& params,
                 const ToneFilters& filters, KernelState& state,
                 std::span<float, kBlockLength> out) {
    const auto& ramp = GetKernelTables().CrossfadeRamp;
    // Local copies: the compiler need not reload them after every store.
    const double wL = params.wL;
    const double wR = params.wR;
    const bool hissActive = filters.hissActive;
    const ShelfCoeffs shelves = filters.shelves;
    for (int i = 0; i < kBlockLength; ++i) {
        double mix = wL * estimateL[i] + wR * estimateR[i];
        if (i < kOverlap) mix += (state.tail[i] - mix) * ramp[i];
        // The hiss low-pass takes and gives float samples; bypassed, the mix
        // stays in double until the output sample is stored.
        double v = mix;
        if (hissActive) {
            v = static_cast<float>(
                RunCascade(static_cast<float>(mix), filters.hissCoeffs, state.hissState));
        }
        float y = RunShelves(v, shelves, state.bassState, state.trebleState);
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
    for (int k = 0; k < kOverlap; ++k) {
        state.tail[k] =
            static_cast<float>(wL * estimateL[kBlockLength + k] + wR * estimateR[kBlockLength + k]);
    }
}

}  // namespace sonorel
