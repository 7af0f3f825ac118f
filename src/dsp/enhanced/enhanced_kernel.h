#pragma once
// The enhanced restoration kernel: 883 stereo frames in, 883 restored mono
// samples out, with the lifecycle and block interface of RestorationKernel.
//
// Per sample each wall goes through the file's rumble high-pass (Anti-Phase
// inverts the right wall first); per hop of kHop samples the walls are
// declicked, each from the other (wall_declick.h), then combined and
// denoised (spectral_stage.h); the result is scaled by the level gain, goes
// through the hiss low-pass (unless bypassed) and the bass and treble
// shelves, and is clamped to +-kOutputBound: the same tone filters as the
// classic kernel.
//
// Lifecycle: Prepare once per file with its parameters, the wall profile of
// its enhanced analysis and its tone filters (setup: may allocate the FFT
// plans), then ProcessBlock once per block in file order. Prepare ends with
// Reset, which zeroes everything carried from block to block.
//
// Delay: kEnhancedDelay = 1279 samples (enhanced_frame.h): output sample i of
// block n is input frame 883 n + i - 1279, so the first 1279 samples of a
// file are exactly 0. kEnhancedDrainBlocks (2) calls of DrainBlock bring the
// last input frames out.
//
// Real-time contract: ProcessBlock and DrainBlock allocate nothing, lock
// nothing and never fail; every output sample is finite and within
// +-kOutputBound. Everything lives in the object (about 80 KB): allocate it
// once per run. One thread at a time calls an object; it always runs on the
// calling thread, so the output cannot depend on a thread count.

#include <array>
#include <cstdint>
#include <span>

#include "enhanced/enhanced_params.h"
#include "enhanced/spectral_stage.h"
#include "enhanced/wall_declick.h"
#include "enhanced/wall_profile.h"
#include "filters/tone_filters.h"

namespace sonorel {

// How many frames after an input frame's arrival its repair is known at the
// latest: the rest of its hop, and the hop of look-ahead after it.
inline constexpr int kMarkLatency = 2 * kHop - 1;

class EnhancedKernel {
  public:
    void Prepare(const EnhancedParams& params, const WallProfile& profile,
                 const ToneFilters& filters);
    void Reset();

    void ProcessBlock(std::span<const float, kBlockLength> left,
                      std::span<const float, kBlockLength> right,
                      std::span<float, kBlockLength> out);
    void DrainBlock(std::span<float, kBlockLength> out);

    // Repairs since the last Reset.
    const DeclickCounts& Counts() const { return counts_; }

    // Whether each of the input frames [firstFrame, firstFrame + 883) of
    // `wall` was repaired (1) or not (0), into `marks`; those frames' marks
    // are then cleared. A frame's repair is known once the block holding
    // frame + kMarkLatency has been processed; frames before 0 and those
    // not yet known give 0. Call with firstFrame rising block by block.
    void TakeRepairMarks(std::int64_t firstFrame, int wall,
                         std::span<std::int32_t, kBlockLength> marks);

  private:
    void RunHop();
    float ToneStage(double x);

    EnhancedParams params_;
    ToneFilters filters_;
    WallDeclicker declicker_;
    SpectralStage spectral_;
    DeclickCounts counts_;

    // Per wall: rumble state, the hop being gathered and the transform's
    // history of declicked samples; the declicker's buffers beside them.
    struct Wall {
        CascadeState rumble;
        std::array<float, kHop> arriving{};
        std::array<float, kFftSize> history{};
    };
    std::array<Wall, 2> walls_{};
    std::array<WallBuffer, 2> declickBuffers_{};
    int arrived_ = 0;
    std::int64_t hops_ = 0;  // hops run since Reset

    // Repaired input frames, per wall, by frame modulo kMarkRing.
    static constexpr int kMarkRing = 4096;
    std::array<std::array<std::uint8_t, kMarkRing>, 2> marks_{};

    // Finished samples waiting for their block: a ring that starts with
    // kHop - 1 zeros (enhanced_frame.h has why).
    static constexpr int kRing = 2048;
    std::array<float, kRing> ring_{};
    int ringRead_ = 0;
    int ringWrite_ = 0;
    std::array<double, kHop> hopOut_{};

    CascadeState hissState_;
    float bassState_ = 0.0f;
    float trebleState_ = 0.0f;
};

}  // namespace sonorel
