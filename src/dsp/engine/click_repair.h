#pragma once
// Click detection and repair for one channel.
//
// Input: 883 new raw samples per call. Output: 883 samples, 925 behind the
// input: the channel through the rumble high-pass, with every detected click
// replaced by an inverse-square-distance blend of the nearest clean samples.
//
// Detection listens to the raw channel through the 1 kHz detection band-pass
// and takes its Teager energy psi(n) = y(n-1)^2 - y(n-2) y(n). Window sums of
// 23 energies are compared at each tested position q: the centre window
// (q - 11 .. q + 11) above the floor (the minimum of 1211 window sums around
// q), scaled by the sensitivity, must exceed the context (the maximum of two
// stretches of 441 window sums that leave out the 329 around q). Flags closer
// than 23 positions merge into one group; a group widened by 11 positions
// before and 10 after is one repair stretch.
//
// Positions: one frame of reference per call, moving by 883 per block.
// Position p of block n is input frame 883 n + p - 1233. The energy sum E and
// the repair input X span positions 0..2115 (0..1232 kept from earlier
// calls), the flags F and the mask M span 0..1498 (0..615 kept). Tested
// positions are 616..1498; output m is position 308 + m.

#include <cstdint>
#include <span>

#include "engine/block_counts.h"
#include "engine/channel_state.h"
#include "filters/cascade.h"
#include "filters/detection_band_pass.h"

namespace sonorel {

inline constexpr int kEnergyLength = kClickHistory + kBlockLength;  // 2116 positions of E and X
inline constexpr int kFlagLength = kFlagHistory + kBlockLength;     // 1499 positions of F and M
inline constexpr int kEnergyWindow = 23;                            // Teager values per window sum
inline constexpr int kWindowSums = kEnergyLength - kEnergyWindow;   // 2093 window sums S(j)
inline constexpr int kFloorSpan = 1211;     // window sums in the floor minimum
inline constexpr int kContextSpan = 441;    // window sums in each context stretch
inline constexpr int kSecondContext = 770;  // second stretch starts 770 sums after the first
inline constexpr int kCentreSum = 604;      // the centre window sum, from the first sum
inline constexpr int kMergeGap = 22;        // a flag this close to its group joins it
inline constexpr int kMarginBefore = 11;
inline constexpr int kMarginAfter = 10;
// kRepairReach (block_frame.h): output m is position 308 + m, and anchors are
// sought within 308 positions. The stage delays by kClickDelay = 925.

// One call for one channel, whose state is `channel`: `click` is the sensitivity ("Click Remover"
// position x 0.5; larger finds more clicks). `counts`, when given, receives
// this call's new flags and counts.
void RemoveClicks(std::span<const float, kBlockLength> input, float click,
                  const CascadeCoeffs& rumbleCoeffs, const DetectCoeffs& detectCoeffs,
                  ClickState& channel, std::span<float, kBlockLength> out,
                  ClickBlockCounts* counts = nullptr);

// The three steps of a call, exposed for tests.

// Flags of the tested positions 616..1498 (newFlags[d] is position 616 + d)
// from the running energy sum E over positions 0..2115. Sliding-window
// minimum and maximum; identical to evaluating every window directly.
void DetectClicks(std::span<const float, kEnergyLength> energySum, float click,
                  std::span<std::int32_t, kBlockLength> newFlags);

// The repair mask over positions 0..1498 from the flags over the same range.
void BuildRepairMask(std::span<const std::int32_t, kFlagLength> flags,
                     std::span<std::uint8_t, kFlagLength> mask);

// Click groups whose first flag is a tested position (616..1498): flags with
// no flag in the 22 positions before them, those kept from earlier calls
// included, so a click is counted once, in the block that first flags it.
int CountNewClickGroups(std::span<const std::int32_t, kFlagLength> flags);

// Output m = X[308 + m], or its blend of the nearest clean anchors within 308
// positions (0 at distance 308 on a side without one) where the mask is set.
void RepairMasked(std::span<const float, kEnergyLength> repairIn,
                  std::span<const std::uint8_t, kFlagLength> mask,
                  std::span<float, kBlockLength> out);

}  // namespace sonorel
