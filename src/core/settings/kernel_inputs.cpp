#include "settings/kernel_inputs.h"

namespace sonorel {

KernelParams DeriveKernelParams(const RunParameters& settings, const ChannelStats& stats) {
    const ChannelParams channels = DeriveChannelParams(
        stats, settings.noiseAmount, settings.outputGain, settings.keepOriginalLevel,
        settings.antiPhase, settings.channelFunction);
    return KernelParams{.wL = channels.wL,
                        .wR = channels.wR,
                        .nfL = channels.nfL,
                        .nfR = channels.nfR,
                        .click = ClickSensitivity(settings.clickAmount),
                        .rejuv = RelativeRegularisation(settings.distortionAmount),
                        .mode = settings.channelFunction};
}

ToneSettings ToneSettingsOf(const RunParameters& settings) {
    return {.rumbleHz = settings.rumbleHz,
            .hissHz = settings.hissHz,
            .bassLiftDb = settings.bassLiftDb,
            .trebleLiftDb = settings.trebleLiftDb};
}

}  // namespace sonorel
