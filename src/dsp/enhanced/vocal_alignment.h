#pragma once
// The Vocal Remover's alignment of the right wall to the left: a short
// two-sided filter G (kVocalAlignTaps taps), so that L - G R cancels what the
// walls share and keeps what only one of them carries.
//
// A pickup's mismatch between the walls is short and smooth, so G is an FIR
// of a few taps fitted by least squares to the per-bin ratio of the walls,
// not that ratio itself: where a bin is dominated by what the walls do not
// share (the accompaniment the Vocal Remover is there to keep), the ratio
// is the ratio of two unrelated sounds, and a filter that followed it would
// pass that sound with an erratic gain and a long, smeared response.
//
// The fit is made on what the walls share: each analysis segment adds its
// spectra weighted per bin by its coherence |L R*|^2 / (|L|^2 |R|^2) to the
// power kSharedCoherencePower, so that only the segments and bins where one
// wall is almost all the other (a sung or spoken passage, a solo) count.
// Each bin's target is the walls' level ratio sqrt(|L|^2 / |R|^2) with the
// phase of L R*, weighted by |L R*| times the coherence of those sums. A
// ridge of kAlignRidge times the weights' sum pulls the taps towards the
// identity, so that where nothing is shared the walls are simply subtracted.

#include <array>
#include <complex>

#include "enhanced/enhanced_frame.h"
#include "enhanced/wall_profile.h"

namespace sonorel {

inline constexpr int kVocalAlignReach = 8;  // taps each side: 0.18 ms at 44.1 kHz
inline constexpr int kVocalAlignTaps = 2 * kVocalAlignReach + 1;
static_assert(kVocalAlignTaps == 17);             // as the manual says
inline constexpr int kSharedCoherencePower = 16;  // 0.96^16 = 0.5
inline constexpr double kAlignRidge = 1e-3;

// Adds one segment's spectra to `shared`, each bin weighted by the segment's
// coherence there (averaged over a few bins). Allocates nothing.
void AddSharedSegment(const WallSpectra& segment, WallSpectra& shared);

// The frequency response of G at the transform's bins. With nothing shared
// (silence, or walls that never agree) it is 1: the plain difference.
std::array<std::complex<double>, kFftBins> FitVocalAlignment(const WallSpectra& shared);

}  // namespace sonorel
