#include "engine/kernel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "engine/click_repair.h"
#include "engine/estimator.h"
#include "engine/fft_correlation.h"
#include "engine/output_stage.h"

namespace sonorel {
namespace {

// Both estimators target their channel buffer from index 88, so the left and
// right contributions to an output sample belong to the same input frame.
constexpr int kTargetOffset = 88;

KernelTables BuildTables() {
    KernelTables tables;
    // Four-term Blackman-Nuttall window written as a cubic in cos(2 pi i / 2884).
    for (int i = 0; i < kWindowHalf; ++i) {
        const double c = std::cos(i * 2.0 * std::numbers::pi / 2884.0);
        tables.AnalysisWindow[i] =
            static_cast<float>(0.2269824 - c * (0.4572542 - c * (0.273199 - c * 0.0425644)));
    }
    for (int i = 0; i < kOverlap; ++i) {
        tables.CrossfadeRamp[i] =
            static_cast<float>((1.0 + std::cos((i + 1) * std::numbers::pi / 883.0)) / 2.0);
    }
    return tables;
}

}  // namespace

const KernelTables& GetKernelTables() {
    static const KernelTables tables = BuildTables();
    return tables;
}

void InitKernelTables(KernelState& state) {
    state = KernelState{};
    GetKernelTables();
    PrepareFft();
}

void ProcessBlock(KernelState& state, std::span<const float, kBlockLength> left,
                  std::span<const float, kBlockLength> right, const KernelParams& params,
                  const ToneFilters& filters, CascadeState* hissState, float& bassState,
                  float& trebleState, std::span<float, kBlockLength> out) {
    // Channel buffers: the history followed by this block's repaired samples.
    // BL[j] and BR[j] hold input frame 883 n + j - 3810 of block n.
    std::array<float, kChannelBuffer> bufferL;
    std::array<float, kChannelBuffer> bufferR;
    std::copy(state.historyL.begin(), state.historyL.end(), bufferL.begin());
    std::copy(state.historyR.begin(), state.historyR.end(), bufferR.begin());

    auto newest = [](std::array<float, kChannelBuffer>& buffer) {
        return std::span<float, kBlockLength>(buffer.data() + kAnalysisLength, kBlockLength);
    };
    RemoveClicks(left, params.click, filters.rumbleCoeffs, filters.detectCoeffs,
                 LeftClickChannel(state), newest(bufferL));
    RemoveClicks(right, params.click, filters.rumbleCoeffs, filters.detectCoeffs,
                 RightClickChannel(state), newest(bufferR));

    std::copy(bufferL.end() - kAnalysisLength, bufferL.end(), state.historyL.begin());
    std::copy(bufferR.end() - kAnalysisLength, bufferR.end(), state.historyR.begin());

    // YL[i] estimates BL[648 + i] from BR, YR[i] estimates BR[648 + i] from BL.
    std::array<float, kEstimateSpan> estimateL;
    std::array<float, kEstimateSpan> estimateR;
    auto segment = [](const std::array<float, kChannelBuffer>& buffer, int from) {
        return std::span<const float, kAnalysisLength>(buffer.data() + from, kAnalysisLength);
    };
    EstimateChannel(segment(bufferL, kTargetOffset), segment(bufferR, 0), params.nfR, params.rejuv,
                    params.mode, state.coefL, estimateL);
    EstimateChannel(segment(bufferR, kTargetOffset), segment(bufferL, 0), params.nfL, params.rejuv,
                    params.mode, state.coefR, estimateR);

    FinishBlock(estimateL, estimateR, params, filters.hissCoeffs, hissState, bassState, trebleState,
                state.tail, out);
}

}  // namespace sonorel
