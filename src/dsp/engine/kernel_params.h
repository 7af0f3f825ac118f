#pragma once
// The restoration kernel's per-file parameters: derived once from the
// settings and the channel analysis, fixed for the whole processing pass.

#include "engine/channel_function.h"

namespace sonorel {

struct KernelParams {
    float wL = 0.0f;     // weight of the left estimate in the mix, sign included
    float wR = 0.0f;     // weight of the right estimate
    float nfL = 0.0f;    // noise-floor term of the estimator whose input is the left channel
    float nfR = 0.0f;    // ... whose input is the right channel
    float click = 0.0f;  // click sensitivity; larger finds more clicks
    float rejuv = 0.0f;  // relative regularisation of the estimators' zero lag
    ChannelFunction mode = ChannelFunction::MonoEnhancer;
};

}  // namespace sonorel
