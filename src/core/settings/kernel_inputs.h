#pragma once
// From the converted settings to the kernel's per-file inputs: the two
// slider scalings, and the whole KernelParams once the channel analysis is
// known; the tone filters' settings likewise.

#include "analysis/channel_analysis.h"
#include "engine/block_frame.h"
#include "engine/kernel_params.h"
#include "filters/tone_filters.h"
#include "settings/restoration_settings.h"

namespace sonorel {

// The detector flags a position when (centre - floor) x click exceeds the
// loudest context: at full "Click Remover" (click 0.5) a click must rise
// above the floor by more than twice the loudest context around it.
inline constexpr float kClickScale = 0.5f;
// The relative regularisation adds rejuv x (r0^2 + ... + r176^2) to r0^2.
// Scaled by the tap count, full "Rejuvenator" adds 16 times the mean square
// of the 177 correlations: at most 16 r0^2, so the zero lag grows at most by
// sqrt(17), about 12 dB.
inline constexpr float kRejuvenatorScale = 16.0f / kEstimatorTaps;
static_assert(kRejuvenatorScale == 0.09039548f);

// `click` of the kernel from the "Click Remover" position (0 to 1).
constexpr float ClickSensitivity(float clickAmount) {
    return clickAmount * kClickScale;
}

// `rejuv` of the kernel from the "Rejuvenator" position (0 to 1): its square,
// scaled.
constexpr float RelativeRegularisation(float distortionAmount) {
    return distortionAmount * distortionAmount * kRejuvenatorScale;
}

KernelParams DeriveKernelParams(const RunParameters& settings, const ChannelStats& stats);

ToneSettings ToneSettingsOf(const RunParameters& settings);

}  // namespace sonorel
