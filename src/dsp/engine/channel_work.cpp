#include "engine/channel_work.h"

#include <algorithm>

#include "engine/click_repair.h"
#include "engine/estimator.h"

namespace sonorel {

void ChannelJob::operator()() const {
    std::array<float, kChannelBuffer>& buffer = own.buffer;
    RemoveClicks(input, params.click, filters.rumbleCoeffs, filters.detectCoeffs, own.click,
                 std::span<float, kBlockLength>(buffer.data() + kAnalysisLength, kBlockLength),
                 &clickCounts);
    // The newest 2885 samples are the next block's history.
    std::copy(buffer.end() - kAnalysisLength, buffer.end(), own.history.begin());
    const std::span<const float, kAnalysisLength> target(buffer.data() + kTargetOffset,
                                                         kAnalysisLength);
    solveFailed = !EstimateChannel(target, otherHistory, inputNoiseFloor, params.rejuv, params.mode,
                                   own.coef, estimate);
}

}  // namespace sonorel
