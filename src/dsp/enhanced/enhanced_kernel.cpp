#include "enhanced/enhanced_kernel.h"

#include <algorithm>

#include "enhanced/real_fft.h"

namespace sonorel {

void EnhancedKernel::Prepare(const EnhancedParams& params, const WallProfile& profile,
                             const ToneFilters& filters) {
    PrepareRealFft();
    params_ = params;
    filters_ = filters;
    declicker_.Prepare(profile.leftFromRight, profile.rightFromLeft, params.clickThreshold);
    spectral_.Prepare(profile, {.gainFloor = params.gainFloor,
                                .differenceWeight = params.differenceWeight,
                                .mode = params.mode});
    Reset();
}

void EnhancedKernel::Reset() {
    declicker_.Reset();
    spectral_.Reset();
    counts_ = DeclickCounts{};
    walls_ = {};
    declickBuffers_ = {};
    arrived_ = 0;
    hops_ = 0;
    for (auto& m : marks_)
        m.fill(0);
    ring_.fill(0.0f);
    ringRead_ = 0;
    ringWrite_ = kHop - 1;
    hissState_ = CascadeState{};
    bassState_ = 0.0f;
    trebleState_ = 0.0f;
}

float EnhancedKernel::ToneStage(double x) {
    double v = x * params_.levelGain;
    if (filters_.hissActive) {
        v = static_cast<float>(RunCascade(static_cast<float>(v), filters_.hissCoeffs, hissState_));
    }
    float y = RunShelves(v, filters_.shelves, bassState_, trebleState_);
    if (y > kOutputBound) {
        y = kOutputBound;
    } else if (y < -kOutputBound) {
        y = -kOutputBound;
    } else if (y != y) {
        y = 0.0f;  // only a non-finite input gets here
    }
    return y;
}

void EnhancedKernel::RunHop() {
    for (int c = 0; c < 2; ++c) {
        auto& samples = declickBuffers_[c].samples;
        std::copy(samples.begin() + kHop, samples.end(), samples.begin());
        std::copy(walls_[c].arriving.begin(), walls_[c].arriving.end(), samples.end() - kHop);
    }
    declicker_.RepairHop(declickBuffers_, counts_);
    // Buffer index t now holds input frame kHop * hops_ - 2 kHop + t.
    const std::int64_t bufferStart = kHop * hops_ - 2 * kHop;
    ++hops_;
    for (int c = 0; c < 2; ++c) {
        const auto& repaired = declicker_.Repaired(c);
        for (int t = 0; t < kWallBuffer; ++t) {
            if (repaired[t] && bufferStart + t >= 0)
                marks_[c][static_cast<std::size_t>((bufferStart + t) % kMarkRing)] = 1;
        }
    }
    for (int c = 0; c < 2; ++c) {
        auto& history = walls_[c].history;
        std::copy(history.begin() + kHop, history.end(), history.begin());
        const auto finished = declickBuffers_[c].samples.begin() + kClickContext;
        std::copy(finished, finished + kHop, history.end() - kHop);
    }
    spectral_.ProcessHop(walls_[0].history, walls_[1].history, hopOut_);
    for (int i = 0; i < kHop; ++i) {
        ring_[ringWrite_] = ToneStage(hopOut_[i]);
        ringWrite_ = (ringWrite_ + 1) % kRing;
    }
}

void EnhancedKernel::ProcessBlock(std::span<const float, kBlockLength> left,
                                  std::span<const float, kBlockLength> right,
                                  std::span<float, kBlockLength> out) {
    for (int i = 0; i < kBlockLength; ++i) {
        float r = right[i];
        if (params_.antiPhase) r = -r;
        // A non-finite input becomes 0 here, so it cannot spread through
        // the transforms.
        const float l = left[i] - left[i] == 0.0f ? left[i] : 0.0f;
        r = r - r == 0.0f ? r : 0.0f;
        walls_[0].arriving[arrived_] =
            static_cast<float>(RunCascade(l, filters_.rumbleCoeffs, walls_[0].rumble));
        walls_[1].arriving[arrived_] =
            static_cast<float>(RunCascade(r, filters_.rumbleCoeffs, walls_[1].rumble));
        if (++arrived_ == kHop) {
            arrived_ = 0;
            RunHop();
        }
    }
    for (int i = 0; i < kBlockLength; ++i) {
        out[i] = ring_[ringRead_];
        ringRead_ = (ringRead_ + 1) % kRing;
    }
}

void EnhancedKernel::DrainBlock(std::span<float, kBlockLength> out) {
    static constexpr std::array<float, kBlockLength> kSilence{};
    ProcessBlock(kSilence, kSilence, out);
}

void EnhancedKernel::TakeRepairMarks(std::int64_t firstFrame, int wall,
                                     std::span<std::int32_t, kBlockLength> marks) {
    for (int d = 0; d < kBlockLength; ++d) {
        const std::int64_t frame = firstFrame + d;
        if (frame < 0) {
            marks[d] = 0;
            continue;
        }
        std::uint8_t& mark = marks_[wall][static_cast<std::size_t>(frame % kMarkRing)];
        marks[d] = mark;
        mark = 0;
    }
}

}  // namespace sonorel
