#pragma once
// Cross-channel estimator: fits, by least squares, a 177-tap filter that
// predicts the target channel P from the input channel Q, solved afresh for
// every block, and applies it to Q.
//
// The fit is made on 2885-sample segments, each with its own mean removed and
// under a 2885-point four-term Blackman-Nuttall window: the normal equations
// sum_j h[j] r[|i - j|] = b[i] use the autocorrelation r of the windowed
// input and its cross-correlation b with the windowed target. h[j] weighs
// Q[n + j] in the prediction of P[n], so the filter looks 0..176 samples
// ahead in the input; the estimate Y[i] of P[560 + i] uses Q[560 + i .. 736 + i]
// and the 1765 estimated samples P[560 .. 2324] are centred on the window's
// centre, index 1442.
//
// Sizes: the segment (2885) and the taps (177) are choices, the resolution
// and reach of the fit. The rest follows (block_frame.h): 1765 is a block
// and the next block's overlap, the lead 560 centres them on the window,
// and the kernel passes each target from the filter's centre tap, 88.
//
// Regularisation of the zero lag carries two controls: a noise-floor term nf
// (adds nf^2: a quiet input yields a small filter) and a relative term rejuv
// (adds rejuv x the input's correlation energy: grows with the signal).
// What the channels share passes; what only one carries does not. In Vocal
// Remover mode the stage returns the estimate minus the target instead.

#include <span>

#include "engine/block_frame.h"
#include "engine/channel_function.h"

namespace sonorel {

// out = (segment - its mean) under the symmetric 2885-point window.
void WindowSegment(std::span<const float, kAnalysisLength> segment,
                   std::span<float, kAnalysisLength> out);

// The regularised zero lag sqrt(r0^2 + rejuv (r0^2 + ... + r176^2) + nf^2).
double RegularisedZeroLag(std::span<const float, kEstimatorTaps> r, float rejuv, float nf);

// One estimation. P[0..2884] and Q[0..2884] are analysed; on a successful
// solve the coefficients replace `coefficients`, otherwise the previous ones
// stay (a solve that yields non-finite coefficients counts as failed). Then
// out[i] = sum_j c[j] Q[560 + i + j], minus P[560 + i] in Vocal Remover mode.
// Returns whether the solve succeeded.
bool EstimateChannel(std::span<const float, kAnalysisLength> target,
                     std::span<const float, kAnalysisLength> input, float nf, float rejuv,
                     ChannelFunction mode, std::span<float, kEstimatorTaps> coefficients,
                     std::span<float, kEstimateSpan> out);

}  // namespace sonorel
