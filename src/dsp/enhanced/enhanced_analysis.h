#pragma once
// The enhanced method's analysis pass: the figures it needs from the whole
// file before the processing pass, in memory O(1) in the file's length.
//
// Both walls go through the file's rumble high-pass (as in processing), then
// frames of kFftSize samples (sqrt-Hann, hop kAnalysisHop). Every frame adds
// to the whole file's spectra; frames are grouped into segments of
// kSegmentHops, and the kQuietSegments segments of least power (digital
// silence excepted) make the quiet spectra, the file's noise profile. From
// both, Finish derives the wall profile (wall_profile.h); from every
// segment weighted by how far its walls agree, the Vocal Remover's
// alignment (vocal_alignment.h).
//
// Setup (the constructor, Prepare) may allocate; Add allocates nothing.

#include <array>
#include <span>

#include "enhanced/real_fft.h"
#include "enhanced/wall_profile.h"
#include "filters/cascade.h"

namespace sonorel {

struct EnhancedFigures {
    WallProfile profile;
    double loudestRms = 0.0;  // of the loudest segment, both walls
    int quietSegments = 0;    // segments in the noise profile
};

class EnhancedAnalysis {
  public:
    void Prepare(const CascadeCoeffs& rumble, bool antiPhase);
    void Reset();
    void Add(std::span<const float> left, std::span<const float> right);
    EnhancedFigures Finish(int sampleRate) const;

  private:
    struct QuietSegment {
        double power = 0.0;
        WallSpectra spectra;
    };
    void AddFrame();
    void EndSegment();

    CascadeCoeffs rumble_;
    bool antiPhase_ = false;
    std::array<CascadeState, 2> rumbleStates_{};
    std::array<std::array<float, kFftSize>, 2> history_{};
    int pending_ = 0;  // samples since the last frame
    std::array<double, kFftSize> window_{};
    WallSpectra whole_;
    WallSpectra segment_;
    WallSpectra shared_;  // what the walls share (vocal_alignment.h)
    double segmentPower_ = 0.0;
    int segmentHops_ = 0;
    std::array<QuietSegment, kQuietSegments> quiet_{};
    int quietCount_ = 0;
    double loudestPower_ = 0.0;
    alignas(16) FftFrame frame_{};
    alignas(16) FftSpectrum spectrumL_{};
    alignas(16) FftSpectrum spectrumR_{};
};

}  // namespace sonorel
