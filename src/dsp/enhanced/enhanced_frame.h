#pragma once
// The enhanced method's fixed sizes and the delay that follows from them.
//
// The method works in hops of kHop samples. Each wall is declicked with
// kLookAhead samples of look-ahead (a repair needs the clean samples after a
// click), then both walls go through a short-time Fourier transform of
// kFftSize samples (sqrt-Hann windows, 75 % overlap) where they are combined
// and denoised, and the overlap-added result is the output.
//
// Timing: when the hop of input frames [kH, kH + 256) has arrived, the hop
// [kH - 256, kH) is declicked and the hop [kH - 1024, kH - 768) is finished.
// The kernel takes 883 frames per call, so up to 255 frames wait for the next
// hop; the output therefore lags by kFftSize + kHop - 1 samples, which makes
// the hop boundaries fall anywhere inside a block.

#include "engine/block_frame.h"

namespace sonorel {

inline constexpr int kFftSize = 1024;
inline constexpr int kFftBins = kFftSize / 2 + 1;  // 513
inline constexpr int kHop = kFftSize / 4;          // 256
inline constexpr int kLookAhead = kHop;
// Declicked samples kept before the hop being repaired: the context of the
// detector's differences and of a gap's left edge.
inline constexpr int kClickContext = kHop;
inline constexpr int kWallBuffer = kClickContext + kHop + kLookAhead;  // 768
// Taps each side of the cross-wall filter that predicts one wall from the
// other (49 taps in all, 1.1 ms at 44.1 kHz: covers the timing mismatch of
// a stereo pickup).
inline constexpr int kCrossReach = 24;
inline constexpr int kCrossTaps = 2 * kCrossReach + 1;

inline constexpr int kEnhancedDelay = kFftSize + kLookAhead - 1;
static_assert(kEnhancedDelay == 1279);
inline constexpr int kEnhancedDrainBlocks = (kEnhancedDelay + kBlockLength - 1) / kBlockLength;
static_assert(kEnhancedDrainBlocks == 2);

// The analysis pass's transform: the same size with Hann windows at 50 %
// overlap, grouped into segments of kSegmentHops hops (186 ms at 44.1 kHz);
// the kQuietSegments quietest segments of the file make its noise profile.
inline constexpr int kAnalysisHop = kFftSize / 2;
inline constexpr int kSegmentHops = 16;
inline constexpr int kQuietSegments = 16;

}  // namespace sonorel
