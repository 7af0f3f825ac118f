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
//
// Sizes: the energy window (23), the context stretches (441) and the gap
// between them (329), the margins and the repair reach (308) are choices
// that set what counts as a click and how far a repair looks. The rest
// follows from them and the block (block_frame.h and below): the floor
// spans both stretches and the gap (1211), the energy history is what the
// floor of the newest tested position reaches back over (1233), the flag
// history is a reach on each side of the block (616), and the stage's delay
// is that history less one reach (925).

#include <cstdint>
#include <span>

#include "engine/block_counts.h"
#include "engine/channel_state.h"
#include "filters/cascade.h"
#include "filters/detection_band_pass.h"

namespace sonorel {

inline constexpr int kEnergyLength = kClickHistory + kBlockLength;  // 2116 positions of E and X
inline constexpr int kFlagLength = kFlagHistory + kBlockLength;     // 1499 positions of F and M
inline constexpr int kWindowSums = kEnergyLength - kEnergyWindow;   // 2093 window sums S(j)
// The second context stretch starts after the first and the gap.
inline constexpr int kSecondContext = kContextSpan + kContextGap;  // 770
// S(j) sums positions j + 1 .. j + 23, centred on j + 12: the centre window
// of tested position q = 616 + d is S(d + 604).
inline constexpr int kCentreSum = kFlagHistory - (kEnergyWindow + 1) / 2;  // 604
// Flags closer than a window's length belong to one click.
inline constexpr int kMergeGap = kEnergyWindow - 1;  // 22
// The widening of a group into a repair stretch: chosen, as the sizes in
// block_frame.h are.
inline constexpr int kMarginBefore = 11;
inline constexpr int kMarginAfter = 10;
// The floor of the last tested position ends at the newest window sum; the
// centre lies in the gap the context leaves out; a repair stays inside the
// flags.
static_assert(kBlockLength - 1 + kFloorSpan == kWindowSums);
static_assert(kCentreSum >= kContextSpan && kCentreSum < kSecondContext);
static_assert(kFlagLength == kRepairReach + kBlockLength + kRepairReach);
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
