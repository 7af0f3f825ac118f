#include "enhanced/wall_declick.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace sonorel {
namespace {

// Indices the detector looks at: from a margin before the hop to where the
// prediction still has all its taps.
constexpr int kDetectFirst = kClickContext - kClickMargin;
constexpr int kDetectEnd = kWallBuffer - kCrossReach;
constexpr int kHopEnd = kClickContext + kHop;
static_assert(kDetectFirst - 2 >= kCrossReach);
static_assert(kDetectEnd + kCrossReach <= kWallBuffer);
// The samples Predict fills: the detector's, and the two before them that
// its second differences take.
constexpr int kPredictFirst = kDetectFirst - 2;
constexpr int kPredictLength = kDetectEnd - kPredictFirst;
// Running levels: about 6 ms at 44.1 kHz; a sample's update is limited to the
// threshold times the level, so clicks barely raise it.
constexpr double kLevelRate = 1.0 / 256.0;
// Below this (a second difference of RMS 1e-6) the level counts as this.
constexpr double kLevelFloor = 1e-12;
// A scratch: both walls' own second differences average at least this
// share of the threshold over the run, each relative to its level.
constexpr double kScratchShare = 0.5;
constexpr double kDamageShare = 0.6;
// An outlier in both walls within kSharedReach samples of each other, plus
// the walls' timing offset, must stand this many times over the threshold.
// Without the offset, a pickup whose walls lie a few samples apart would
// have every glottal pulse of a voice taken for a tick.
constexpr int kSharedReach = 6;
constexpr double kSharedFactor = 256.0;

bool SameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

double Sq(double x) {
    return x * x;
}

// The lag, in samples either way, of a cross-wall filter's largest tap: the
// walls' timing offset as the filter sees it.
int PeakLag(const std::array<float, kCrossTaps>& taps) {
    const auto peak = std::max_element(taps.begin(), taps.end(),
                                       [](float a, float b) { return std::abs(a) < std::abs(b); });
    return std::abs(static_cast<int>(peak - taps.begin()) - kCrossReach);
}

}  // namespace

void WallDeclicker::Prepare(const std::array<float, kCrossTaps>& leftFromRight,
                            const std::array<float, kCrossTaps>& rightFromLeft, float threshold) {
    taps_[0] = leftFromRight;
    taps_[1] = rightFromLeft;
    threshold_ = threshold;
    sharedReach_ = kSharedReach + std::max(PeakLag(leftFromRight), PeakLag(rightFromLeft));
    Reset();
}

void WallDeclicker::Reset() {
    for (auto& p : prediction_)
        p.fill(0.0f);
    for (auto& e : error_)
        e.fill(0.0f);
    for (auto& e : edge_)
        e.fill(0.0f);
    flagged_.fill(false);
    for (auto& r : repaired_)
        r.fill(false);
    haveSeen_ = false;
}

void WallDeclicker::Predict(const std::array<WallBuffer, 2>& walls) {
    for (int c = 0; c < 2; ++c) {
        const auto& other = walls[1 - c].samples;
        const auto& taps = taps_[c];
        // The walls move on by a hop between calls, so the first samples'
        // predictions are the last call's, moved, wherever the other wall's
        // samples they use are still what that call saw (a repair changes
        // them). Bitwise, so that the bytes are those a new sum would give.
        int first = kPredictFirst;
        const int reused = kPredictLength - kHop;
        const float* seen = seen_[1 - c].data() + kHop + kPredictFirst - kCrossReach;
        const float* now = other.data() + kPredictFirst - kCrossReach;
        if (haveSeen_ && std::equal(now, now + reused + 2 * kCrossReach, seen, SameBits)) {
            std::copy(prediction_[c].begin() + kPredictFirst + kHop,
                      prediction_[c].begin() + kPredictFirst + kHop + reused,
                      prediction_[c].begin() + kPredictFirst);
            first += reused;
        }
        // Tap by tap over all samples, not sample by sample over the taps:
        // each sum still adds its taps in the same order (the same bytes),
        // but the samples' sums no longer wait on one another.
        const int count = kDetectEnd - first;
        std::fill(sums_.begin(), sums_.begin() + count, 0.0);
        for (int j = 0; j < kCrossTaps; ++j) {
            const float tap = taps[j];
            const float* from = other.data() + first + j - kCrossReach;
            for (int i = 0; i < count; ++i)
                sums_[i] += tap * from[i];
        }
        for (int i = 0; i < count; ++i)
            prediction_[c][first + i] = static_cast<float>(sums_[i]);
    }
    for (int c = 0; c < 2; ++c)
        seen_[c] = walls[c].samples;
    haveSeen_ = true;
}

void WallDeclicker::Measure(const std::array<WallBuffer, 2>& walls) {
    for (int c = 0; c < 2; ++c) {
        const auto& x = walls[c].samples;
        const auto& p = prediction_[c];
        for (int t = kDetectFirst; t < kDetectEnd; ++t) {
            const double e0 = static_cast<double>(x[t]) - p[t];
            const double e1 = static_cast<double>(x[t - 1]) - p[t - 1];
            const double e2 = static_cast<double>(x[t - 2]) - p[t - 2];
            error_[c][t] = static_cast<float>(e0 - 2.0 * e1 + e2);
            edge_[c][t] = static_cast<float>(static_cast<double>(x[t]) - 2.0 * x[t - 1] + x[t - 2]);
        }
    }
}

void WallDeclicker::RepairHop(std::array<WallBuffer, 2>& walls, DeclickCounts& counts) {
    for (auto& r : repaired_)
        r.fill(false);
    if (threshold_ <= 0.0f) return;
    Predict(walls);
    Measure(walls);
    SeedLevels(walls);
    // Detections, widened by the margin each side.
    flagged_.fill(false);
    const double levelL = std::max(walls[0].errorLevel, kLevelFloor) * threshold_;
    const double levelR = std::max(walls[1].errorLevel, kLevelFloor) * threshold_;
    for (int t = kDetectFirst; t < kDetectEnd; ++t) {
        const double overL = Sq(error_[0][t]) / levelL;
        const double overR = Sq(error_[1][t]) / levelR;
        if (std::max(overL, overR) <= 1.0) continue;
        // An outlier both walls share near the same frame is more likely
        // programme the prediction renders only in part (a voice's glottal
        // pulse) than damage, which stands far higher: it must stand
        // kSharedFactor times as high.
        double sharedL = 0.0;
        double sharedR = 0.0;
        for (int k = std::max(kDetectFirst, t - sharedReach_);
             k <= std::min(kDetectEnd - 1, t + sharedReach_); ++k) {
            sharedL = std::max(sharedL, Sq(error_[0][k]) / levelL);
            sharedR = std::max(sharedR, Sq(error_[1][k]) / levelR);
        }
        const bool shared = sharedL > 1.0 && sharedR > 1.0;
        if (!shared || std::max(overL, overR) > kSharedFactor) {
            const int first = std::max(kDetectFirst, t - kClickMargin);
            const int last = std::min(kDetectEnd - 1, t + kClickMargin);
            std::fill(flagged_.begin() + first, flagged_.begin() + last + 1, true);
        }
    }
    // Runs that start in this hop; one that started before it was repaired
    // with the previous hop.
    int t = kClickContext;
    while (t < kHopEnd) {
        if (!flagged_[t] || flagged_[t - 1]) {
            ++t;
            continue;
        }
        int end = t;
        while (end < kDetectEnd - 1 && flagged_[end])
            ++end;
        RepairRun(walls, t, end, counts);
        t = end;
    }
    UpdateLevels(walls);
}

void WallDeclicker::RepairRun(std::array<WallBuffer, 2>& walls, int start, int end,
                              DeclickCounts& counts) {
    std::array<double, 2> share{};
    std::array<bool, 2> damaged{};
    for (int c = 0; c < 2; ++c) {
        const double level = std::max(walls[c].edgeLevel, kLevelFloor);
        double edge = 0.0;
        double error = 0.0;
        for (int t = start; t < end; ++t) {
            edge += Sq(edge_[c][t]);
            error += Sq(error_[c][t]);
        }
        share[c] = edge / level;
        // Damage makes most of a wall's own high frequencies there; where
        // the error is a small part of them, it is programme the prediction
        // missed (a sharp attack), and is left alone.
        damaged[c] = error > kDamageShare * edge;
    }
    if (!damaged[0] && !damaged[1]) return;
    const int length = end - start;
    // A scratch only where both walls' own second differences stand out
    // against their levels; otherwise the wall that stands out more is the
    // one that ticked, and bridging both would take the programme too.
    const double standOut = threshold_ * length * kScratchShare;
    if (share[0] < standOut || share[1] < standOut || !damaged[0] || !damaged[1]) {
        const int c = share[0] >= share[1] ? 0 : 1;
        std::copy(prediction_[c].begin() + start, prediction_[c].begin() + end,
                  walls[c].samples.begin() + start);
        std::fill(repaired_[c].begin() + start, repaired_[c].begin() + end, true);
        ++counts.ticks[c];
        counts.samplesRepaired[c] += length;
        return;
    }
    // Both walls: bridge each from both sides of the gap. A run longer than
    // a bridge can span is no scratch (a passage the detector keeps
    // flagging) and is left as it is.
    if (length > kMaxBridge) return;
    for (auto& wall : walls)
        bridge_.Bridge(wall.samples, start, end);
    for (auto& r : repaired_)
        std::fill(r.begin() + start, r.begin() + end, true);
    ++counts.scratches;
    counts.samplesRepaired[0] += length;
    counts.samplesRepaired[1] += length;
}

void WallDeclicker::SeedLevels(std::array<WallBuffer, 2>& walls) const {
    // Until a wall has had signal its levels are 0, and the first noise
    // would stand out against them: they start from the hop's own mean.
    for (int c = 0; c < 2; ++c) {
        WallBuffer& wall = walls[c];
        if (wall.errorLevel >= kLevelFloor) continue;
        // From the wall's first sample of signal, so that a hop it enters
        // late does not start them low.
        int first = kClickContext;
        while (first < kHopEnd && wall.samples[first] == 0.0f)
            ++first;
        if (first == kHopEnd) continue;
        double error = 0.0;
        double edge = 0.0;
        for (int t = first; t < kHopEnd; ++t) {
            error += Sq(error_[c][t]);
            edge += Sq(edge_[c][t]);
        }
        wall.errorLevel = error / (kHopEnd - first);
        wall.edgeLevel = edge / (kHopEnd - first);
    }
}

void WallDeclicker::UpdateLevels(std::array<WallBuffer, 2>& walls) const {
    for (int c = 0; c < 2; ++c) {
        WallBuffer& wall = walls[c];
        // Not yet seeded: the prediction's reach into a later onset must
        // not lift the levels past the seed's test.
        if (wall.errorLevel < kLevelFloor) continue;
        for (int t = kClickContext; t < kHopEnd; ++t) {
            const double errorCap = std::max(wall.errorLevel, kLevelFloor) * threshold_;
            wall.errorLevel +=
                kLevelRate * (std::min(Sq(error_[c][t]), errorCap) - wall.errorLevel);
            const double edgeCap = std::max(wall.edgeLevel, kLevelFloor) * threshold_;
            wall.edgeLevel += kLevelRate * (std::min(Sq(edge_[c][t]), edgeCap) - wall.edgeLevel);
        }
    }
}

}  // namespace sonorel
