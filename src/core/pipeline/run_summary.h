#pragma once
// The record of one per-file run: what the input was, what the run derived
// from it, what the kernel counted and what was stored. Filled by ProcessFile
// when the request asks for it; read by reports and pictures.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/kernel_params.h"
#include "pipeline/run_result.h"
#include "soundfile/sound_file.h"

namespace sonorel {

// What the enhanced method made of a file (enhanced_params.h,
// wall_profile.h).
struct EnhancedDerived {
    double clickThreshold = 0.0;  // power ratio; 0: no click repair
    double suppressionDb = 0.0;   // depth of the noise suppression
    double differenceWeight = 0.0;
    double levelGain = 1.0;
    double leftNoiseDb = 0.0;  // each wall's own noise against its power, 50 Hz..16 kHz
    double rightNoiseDb = 0.0;
    int quietSegments = 0;  // segments of the noise profile
};

// What the analysis pass and the settings made of a file.
struct DerivedParameters {
    KernelParams kernel;       // wL, wR, nfL, nfR, click, rejuv, mode (classic method)
    bool hissLowPass = false;  // the hiss low-pass was active
    std::optional<EnhancedDerived> enhanced;  // for a run of the enhanced method
};

// Kernel counts of one channel over the run.
struct ChannelCounts {
    std::int64_t clicksDetected = 0;
    std::int64_t samplesRepaired = 0;
    // Blocks in which the estimator of this channel failed to solve and kept
    // its previous coefficients.
    std::int64_t failedSolves = 0;
};

// The catalogue data an output was meant to keep, by name ("title", ...,
// "bext"): kept, or dropped because the output's format cannot store it
// (the input's comment is always dropped: the output has its own).
struct MetadataOutcome {
    std::vector<std::string> kept;
    std::vector<std::string> dropped;
};

struct RunSummary {
    RunResult result = RunResult::RunBadInput;
    std::filesystem::path output;              // the file the run created; empty if none
    std::optional<SoundFormat> input;          // once the input was opened
    std::optional<DerivedParameters> derived;  // once the analysis pass was over
    std::int64_t blocks = 0;                   // blocks through the kernel and stored
    std::array<ChannelCounts, 2> channels;     // left, right
    std::int64_t outputFrames = 0;             // samples stored (output file or preview)
    bool aligned = false;                      // output sample k is input frame k
    std::optional<MetadataOutcome> metadata;   // when metadata was to be kept
    double seconds = 0.0;                      // the whole run, wall clock
};

}  // namespace sonorel
