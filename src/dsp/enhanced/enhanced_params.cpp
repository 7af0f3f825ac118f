#include "enhanced/enhanced_params.h"

#include <cmath>

namespace sonorel {

EnhancedParams DeriveEnhancedParams(const EnhancedControls& controls, double loudestRms) {
    EnhancedParams params;
    if (controls.clickAmount > 0.0f) {
        params.clickThreshold = static_cast<float>(
            std::pow(10.0, 2.0 - 1.2 * static_cast<double>(controls.clickAmount)));
    }
    params.gainFloor = std::pow(10.0, -kSuppressionDepthDb * controls.noiseAmount / 20.0);
    params.differenceWeight = controls.distortionAmount;
    params.levelGain = controls.outputGain;
    if (!controls.keepOriginalLevel && loudestRms > 0.0) {
        params.levelGain *= std::fmin(kTargetRms / loudestRms, kLevelGainLimit);
    }
    params.antiPhase = controls.antiPhase;
    params.mode = controls.mode;
    return params;
}

}  // namespace sonorel
