#include "engine/output_stage.h"

#include "filters/shelf.h"

namespace sonorel {

void FinishBlock(std::span<const float, kEstimateSpan> estimateL,
                 std::span<const float, kEstimateSpan> estimateR, const KernelParams& params,
                 const CascadeCoeffs& hissCoeffs, CascadeState* hissState, float& bassState,
                 float& trebleState, std::span<float, kOverlap> tail,
                 std::span<float, kBlockLength> out) {
    const auto& ramp = GetKernelTables().CrossfadeRamp;
    const ShelfCoeffs shelves{params.bp, params.bz, params.tp, params.tz, params.g};
    const double wL = params.wL;
    const double wR = params.wR;
    for (int i = 0; i < kBlockLength; ++i) {
        double mix = wL * estimateL[i] + wR * estimateR[i];
        if (i < kOverlap) mix += (tail[i] - mix) * ramp[i];
        float v = static_cast<float>(mix);
        if (hissState != nullptr) v = static_cast<float>(RunCascade(v, hissCoeffs, *hissState));
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
    for (int k = 0; k < kOverlap; ++k) {
        tail[k] =
            static_cast<float>(wL * estimateL[kBlockLength + k] + wR * estimateR[kBlockLength + k]);
    }
}

}  // namespace sonorel
