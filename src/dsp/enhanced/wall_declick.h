#pragma once
// Click repair that uses the other wall.
//
// A mono disc carries the same signal in both groove walls, but each wall
// clicks on its own. The detector predicts each wall from the other with the
// cross-wall filter (wall_profile.h) and watches the second difference of
// the prediction error: music cancels in it, however sharp its attacks (they
// are in both walls), while a click stands out against the error's running
// level. An outlier both walls' errors show at the same moment (within a few
// samples, after the walls' timing offset) is more often programme the
// prediction renders only in part (a voice's glottal pulse) than damage,
// which stands far higher: it must stand much further over the level to
// count. A detection is widened by kClickMargin samples each side;
// then
//   - when only one wall's own second difference stands out (a tick), that
//     wall's samples are replaced by the prediction from the other wall,
//     aligned and equalised to this one;
//   - when both do (a scratch through both walls), each wall is bridged from
//     both sides of the gap with an autoregressive model (gap_bridge.h).
//
// Per hop: the caller shifts each wall's buffer by kHop and appends the hop
// that arrived; RepairHop then finishes buffer indices [kClickContext,
// kClickContext + kHop), looking kLookAhead samples ahead, and may already
// repair into the look-ahead when a gap runs on. Nothing is allocated; the
// working arrays are members.

#include <array>
#include <cstdint>

#include "enhanced/enhanced_frame.h"
#include "enhanced/gap_bridge.h"

namespace sonorel {

inline constexpr int kClickMargin = 8;

// One wall's samples and the detector's running levels.
struct WallBuffer {
    std::array<float, kWallBuffer> samples{};
    double errorLevel = 0.0;  // running mean square of the prediction error's second difference
    double edgeLevel = 0.0;   // ... of the wall's own second difference
};

struct DeclickCounts {
    std::array<std::int64_t, 2> ticks{};            // one-wall repairs of each wall
    std::int64_t scratches = 0;                     // two-wall repairs
    std::array<std::int64_t, 2> samplesRepaired{};  // samples replaced in each wall
};

class WallDeclicker {
  public:
    // threshold: how far (power ratio) the error must rise above its running
    // level to count as a click; 0 turns the repair off.
    void Prepare(const std::array<float, kCrossTaps>& leftFromRight,
                 const std::array<float, kCrossTaps>& rightFromLeft, float threshold);
    void Reset();
    void RepairHop(std::array<WallBuffer, 2>& walls, DeclickCounts& counts);
    // The buffer indices of `wall` the last RepairHop replaced.
    const std::array<bool, kWallBuffer>& Repaired(int wall) const { return repaired_[wall]; }

  private:
    void Predict(const std::array<WallBuffer, 2>& walls);
    void Measure(const std::array<WallBuffer, 2>& walls);
    void RepairRun(std::array<WallBuffer, 2>& walls, int start, int end, DeclickCounts& counts);
    void SeedLevels(std::array<WallBuffer, 2>& walls) const;
    void UpdateLevels(std::array<WallBuffer, 2>& walls) const;

    std::array<std::array<float, kCrossTaps>, 2> taps_{};  // wall c from the other wall
    float threshold_ = 0.0f;
    // How far apart (samples) two walls' outliers may lie and count as one.
    int sharedReach_ = 0;
    std::array<double, kWallBuffer> sums_{};  // Predict's running sums
    // The walls as the last Predict saw them, before that hop's repairs.
    std::array<std::array<float, kWallBuffer>, 2> seen_{};
    bool haveSeen_ = false;
    std::array<std::array<float, kWallBuffer>, 2> prediction_{};
    std::array<std::array<float, kWallBuffer>, 2>
        error_{};  // second difference of wall - prediction
    std::array<std::array<float, kWallBuffer>, 2> edge_{};  // second difference of the wall
    std::array<bool, kWallBuffer> flagged_{};
    std::array<std::array<bool, kWallBuffer>, 2> repaired_{};
    GapBridge bridge_;
};

}  // namespace sonorel
