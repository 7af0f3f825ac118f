#pragma once
// The enhanced method's per-file parameters, and how the settings map onto
// them (every control keeps its role):
//   - Click Remover 0..1 sets the click threshold, a power ratio of
//     10^(2 - 1.2 x click) over the running level (25 at the default 0.5,
//     6.3 at full); 0 turns the repair off;
//   - Silence Enhancer 0..1 sets the noise suppression's depth,
//     kSuppressionDepthDb x noise dB (12 dB at the default 0.5), three times
//     as deep in bands that hold little or nothing but noise, five times in
//     pauses (spectral_stage.h); 0 turns it off;
//   - Rejuvenator 0..1 sets how far the walls' short-time difference raises
//     the noise estimate in loud, worn passages;
//   - Mono Enhancer / Vocal Remover keep what the walls share or what they do
//     not; Anti-Phase inverts the right wall on the way in;
//   - Output Level and Keep Original Signal Level set the level: the output
//     gain alone, or with the loudest segment brought to kTargetRms.

#include "engine/channel_function.h"

namespace sonorel {

inline constexpr double kSuppressionDepthDb = 24.0;
inline constexpr double kTargetRms = 0.1;        // -20 dBFS
inline constexpr double kLevelGainLimit = 10.0;  // the level rule raises by at most 20 dB

struct EnhancedParams {
    float clickThreshold = 0.0f;    // power ratio; 0: no click repair
    double gainFloor = 1.0;         // least gain of the noise suppression
    double differenceWeight = 0.0;  // 0..1
    double levelGain = 1.0;         // applied before the tone filters
    bool antiPhase = false;
    ChannelFunction mode = ChannelFunction::MonoEnhancer;
};

struct EnhancedControls {
    float clickAmount = 0.5f;
    float noiseAmount = 0.5f;
    float distortionAmount = 0.5f;
    float outputGain = 1.0f;
    bool keepOriginalLevel = false;
    bool antiPhase = false;
    ChannelFunction mode = ChannelFunction::MonoEnhancer;
};

// loudestRms: the enhanced analysis's loudest segment (0 for silence).
EnhancedParams DeriveEnhancedParams(const EnhancedControls& controls, double loudestRms);

}  // namespace sonorel
