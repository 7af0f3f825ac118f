#include "engine/click_repair.h"

#include <algorithm>
#include <array>

#include "engine/sliding_extremum.h"

namespace sonorel {

void DetectClicks(std::span<const float, kEnergyLength> energySum, float click,
                  std::span<std::int32_t, kBlockLength> newFlags) {
    // S(j) = E[j + 23] - E[j], the sum of the Teager values at j + 1 .. j + 23.
    std::array<double, kWindowSums> sums;
    for (int j = 0; j < kWindowSums; ++j) {
        sums[j] = static_cast<double>(energySum[j + kEnergyWindow]) - energySum[j];
    }
    // floor[d] = min S(d .. d + 1210); context[j] = max S(j .. j + 440).
    std::array<double, kWindowSums> prefix;
    std::array<double, kWindowSums> suffix;
    std::array<double, kBlockLength> floor;
    std::array<double, kWindowSums - kContextSpan + 1> context;
    SlidingExtremum(std::span<const double>(sums), kFloorSpan, std::span<double>(floor), prefix,
                    suffix, PickMin{});
    SlidingExtremum(std::span<const double>(sums), kContextSpan, std::span<double>(context), prefix,
                    suffix, PickMax{});

    const double sensitivity = click;
    for (int d = 0; d < kBlockLength; ++d) {
        const double centre = sums[d + kCentreSum];
        const double contextMax = std::max(context[d], context[d + kSecondContext]);
        // Strict: a centre that only reaches the context is not a click.
        newFlags[d] = (centre - floor[d]) * sensitivity > contextMax ? 1 : 0;
    }
}

void BuildRepairMask(std::span<const std::int32_t, kFlagLength> flags,
                     std::span<std::uint8_t, kFlagLength> mask) {
    std::fill(mask.begin(), mask.end(), std::uint8_t{0});
    int i = 0;
    while (i < kFlagLength) {
        if (flags[i] == 0) {
            ++i;
            continue;
        }
        const int first = i;
        int last = i;
        int j = i + 1;
        for (; j < kFlagLength && j - last <= kMergeGap; ++j) {
            if (flags[j] != 0) last = j;
        }
        const int from = std::max(0, first - kMarginBefore);
        const int to = std::min(last + kMarginAfter, kFlagLength - 1);
        std::fill(mask.begin() + from, mask.begin() + to + 1, std::uint8_t{1});
        // Positions last + 1 .. j - 1 hold no flag: resume after them.
        i = j;
    }
}

int CountNewClickGroups(std::span<const std::int32_t, kFlagLength> flags) {
    int lastFlag = -2 * kMergeGap;  // far enough back to start a group
    for (int p = kFlagHistory - kMergeGap; p < kFlagHistory; ++p) {
        if (flags[p] != 0) lastFlag = p;
    }
    int groups = 0;
    for (int p = kFlagHistory; p < kFlagLength; ++p) {
        if (flags[p] == 0) continue;
        if (p - lastFlag > kMergeGap) ++groups;
        lastFlag = p;
    }
    return groups;
}

void RepairMasked(std::span<const float, kEnergyLength> repairIn,
                  std::span<const std::uint8_t, kFlagLength> mask,
                  std::span<float, kBlockLength> out) {
    // Nearest clean position at or before / at or after each position (-1 or
    // kFlagLength when there is none), so that every anchor is found in O(1).
    std::array<int, kFlagLength> cleanBefore;
    std::array<int, kFlagLength> cleanAfter;
    int clean = -1;
    for (int p = 0; p < kFlagLength; ++p) {
        if (mask[p] == 0) clean = p;
        cleanBefore[p] = clean;
    }
    clean = kFlagLength;
    for (int p = kFlagLength - 1; p >= 0; --p) {
        if (mask[p] == 0) clean = p;
        cleanAfter[p] = clean;
    }

    for (int m = 0; m < kBlockLength; ++m) {
        const int q = kRepairReach + m;
        if (mask[q] == 0) {
            out[m] = repairIn[q];
            continue;
        }
        // A side without a clean sample within reach contributes 0 at
        // distance 308, so long stretches fade towards silence.
        int j = cleanBefore[q - 1];
        double left = 0.0;
        if (j >= q - kRepairReach) {
            left = repairIn[j];
        } else {
            j = q - kRepairReach;
        }
        int k = cleanAfter[q + 1];
        double right = 0.0;
        if (k <= q + kRepairReach) {
            right = repairIn[k];
        } else {
            k = q + kRepairReach;
        }
        const double toLeft = static_cast<double>(q - j) * (q - j);
        const double toRight = static_cast<double>(k - q) * (k - q);
        out[m] = static_cast<float>((left * toRight + right * toLeft) / (toLeft + toRight));
    }
}

void RemoveClicks(std::span<const float, kBlockLength> input, float click,
                  const CascadeCoeffs& rumbleCoeffs, const DetectCoeffs& detectCoeffs,
                  ClickState& channel, std::span<float, kBlockLength> out,
                  ClickBlockCounts* counts) {
    std::array<float, kEnergyLength> energy;      // E
    std::array<float, kEnergyLength> repair;      // X
    std::array<std::int32_t, kFlagLength> flags;  // F
    std::array<std::uint8_t, kFlagLength> mask;   // M

    // Only differences of E are used: restart the sum from 0 at position 1232
    // so that it never drifts far from the energies it measures.
    const float base = channel.energySum[kClickHistory - 1];
    for (int p = 0; p < kClickHistory; ++p)
        energy[p] = channel.energySum[p] - base;
    std::copy(channel.repairIn.begin(), channel.repairIn.end(), repair.begin());
    std::copy(channel.clickFlags.begin(), channel.clickFlags.end(), flags.begin());

    // The filter states in locals for the loop: kept in registers rather than
    // stored into the channel's state at every sample.
    CascadeState rumbleState = channel.rumbleState;
    std::array<float, 2> detectState = channel.detectState;
    float olderBand = channel.teager[0];
    float newerBand = channel.teager[1];
    for (int k = 0; k < kBlockLength; ++k) {
        const float x = input[k];
        const int p = kClickHistory + k;
        repair[p] = static_cast<float>(RunCascade(x, rumbleCoeffs, rumbleState));
        const float band = RunDetection(x, detectCoeffs, detectState);
        const double psi =
            static_cast<double>(newerBand) * newerBand - static_cast<double>(olderBand) * band;
        olderBand = newerBand;
        newerBand = band;
        energy[p] = static_cast<float>(energy[p - 1] + psi);
    }
    channel.rumbleState = rumbleState;
    channel.detectState = detectState;
    channel.teager = {olderBand, newerBand};

    DetectClicks(energy, click,
                 std::span<std::int32_t, kBlockLength>(flags.data() + kFlagHistory, kBlockLength));

    // Keep the newest ends; after the shift by 883 they are the next call's
    // positions 0 upward.
    std::copy(energy.end() - kClickHistory, energy.end(), channel.energySum.begin());
    std::copy(repair.end() - kClickHistory, repair.end(), channel.repairIn.begin());
    std::copy(flags.end() - kFlagHistory, flags.end(), channel.clickFlags.begin());

    BuildRepairMask(flags, mask);
    RepairMasked(repair, mask, out);

    if (counts != nullptr) {
        std::copy(flags.begin() + kFlagHistory, flags.end(), counts->newFlags.begin());
        counts->clicksDetected = CountNewClickGroups(flags);
        counts->samplesRepaired = static_cast<int>(
            std::count(mask.begin() + kRepairReach, mask.begin() + kRepairReach + kBlockLength, 1));
    }
}

}  // namespace sonorel
