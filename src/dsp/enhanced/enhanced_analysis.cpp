#include "enhanced/enhanced_analysis.h"

#include <algorithm>
#include <cmath>

#include "enhanced/vocal_alignment.h"

namespace sonorel {
namespace {

// A segment whose mean square is below this (-120 dBFS) is digital silence,
// not the record's noise.
constexpr double kSilentSegment = 1e-12;
// The least of kQuietSegments averages of kSegmentHops frames of noise lies
// about 2 dB under their mean; this brings it back.
constexpr double kLeastSegmentBias = 1.6;

}  // namespace

void EnhancedAnalysis::Prepare(const CascadeCoeffs& rumble, bool antiPhase) {
    PrepareRealFft();
    rumble_ = rumble;
    antiPhase_ = antiPhase;
    for (int n = 0; n < kFftSize; ++n) {
        window_[n] = std::sqrt(0.5 - 0.5 * std::cos(2.0 * M_PI * n / kFftSize));
    }
    Reset();
}

void EnhancedAnalysis::Reset() {
    rumbleStates_ = {};
    for (auto& h : history_)
        h.fill(0.0f);
    pending_ = 0;
    whole_ = WallSpectra{};
    segment_ = WallSpectra{};
    shared_ = WallSpectra{};
    segmentPower_ = 0.0;
    segmentHops_ = 0;
    quietCount_ = 0;
    loudestPower_ = 0.0;
}

void EnhancedAnalysis::Add(std::span<const float> left, std::span<const float> right) {
    const std::size_t count = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < count; ++i) {
        const float r = antiPhase_ ? -right[i] : right[i];
        const std::array<float, 2> in{left[i], r};
        for (int c = 0; c < 2; ++c) {
            const auto y = static_cast<float>(RunCascade(in[c], rumble_, rumbleStates_[c]));
            history_[c][kFftSize - kAnalysisHop + pending_] = y;
            segmentPower_ += static_cast<double>(y) * y;
        }
        if (++pending_ == kAnalysisHop) {
            pending_ = 0;
            AddFrame();
            for (auto& h : history_)
                std::copy(h.begin() + kAnalysisHop, h.end(), h.begin());
        }
    }
}

void EnhancedAnalysis::AddFrame() {
    for (int n = 0; n < kFftSize; ++n)
        frame_[n] = history_[0][n] * window_[n];
    ForwardFft(frame_, spectrumL_);
    for (int n = 0; n < kFftSize; ++n)
        frame_[n] = history_[1][n] * window_[n];
    ForwardFft(frame_, spectrumR_);
    segment_.Add(spectrumL_, spectrumR_);
    if (++segmentHops_ == kSegmentHops) EndSegment();
}

void EnhancedAnalysis::EndSegment() {
    const double meanSquare = segmentPower_ / (2.0 * kSegmentHops * kAnalysisHop);
    whole_.Add(segment_);
    AddSharedSegment(segment_, shared_);
    loudestPower_ = std::max(loudestPower_, meanSquare);
    if (meanSquare >= kSilentSegment) {
        if (quietCount_ < kQuietSegments) {
            quiet_[quietCount_++] = {meanSquare, segment_};
        } else {
            auto loudest = std::max_element(
                quiet_.begin(), quiet_.end(),
                [](const QuietSegment& a, const QuietSegment& b) { return a.power < b.power; });
            if (meanSquare < loudest->power) *loudest = {meanSquare, segment_};
        }
    }
    segment_ = WallSpectra{};
    segmentPower_ = 0.0;
    segmentHops_ = 0;
}

EnhancedFigures EnhancedAnalysis::Finish(int sampleRate) const {
    // Per bin, the quiet segment with the least power there: the quietest
    // segments still hold some programme, but rarely in every bin at once.
    WallSpectra quiet;
    if (quietCount_ > 0) {
        quiet.frames = 1.0;
        for (int k = 0; k < kFftBins; ++k) {
            const QuietSegment* least = &quiet_[0];
            for (int i = 1; i < quietCount_; ++i) {
                const WallSpectra& s = quiet_[i].spectra;
                if (s.leftPower[k] + s.rightPower[k] <
                    least->spectra.leftPower[k] + least->spectra.rightPower[k]) {
                    least = &quiet_[i];
                }
            }
            const double scale = kLeastSegmentBias / least->spectra.frames;
            quiet.leftPower[k] = least->spectra.leftPower[k] * scale;
            quiet.rightPower[k] = least->spectra.rightPower[k] * scale;
            quiet.cross[k] = least->spectra.cross[k] * scale;
        }
    }
    EnhancedFigures figures;
    figures.profile = DeriveWallProfile(whole_, quiet, sampleRate);
    figures.profile.vocalAlignR = FitVocalAlignment(shared_);
    figures.loudestRms = std::sqrt(loudestPower_);
    figures.quietSegments = quietCount_;
    return figures;
}

}  // namespace sonorel
