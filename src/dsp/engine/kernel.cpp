#include "engine/kernel.h"

#include <algorithm>

#include "engine/fft_correlation.h"
#include "engine/kernel_tables.h"
#include "engine/output_stage.h"

namespace sonorel {

RestorationKernel::~RestorationKernel() = default;

void RestorationKernel::Prepare(const KernelParams& params, const ToneFilters& filters,
                                int threads) {
    params_ = params;
    filters_ = filters;
    GetKernelTables();
    PrepareFft();
    if (threads < 2) {
        worker_.reset();
    } else if (!worker_) {
        worker_ = std::make_unique<WorkerThread>();
    }
    Reset();
}

void RestorationKernel::Reset() {
    state_ = KernelState{};
}

void RestorationKernel::ProcessBlock(std::span<const float, kBlockLength> left,
                                     std::span<const float, kBlockLength> right,
                                     std::span<float, kBlockLength> out) {
    for (ChannelState& channel : state_.channels)
        std::copy(channel.history.begin(), channel.history.end(), channel.buffer.begin());
    const ChannelJob leftJob = JobOf(kLeft, left);
    const ChannelJob rightJob = JobOf(kRight, right);
    if (worker_) {
        worker_->Start(rightJob);
        leftJob();
        worker_->Finish();
    } else {
        leftJob();
        rightJob();
    }
    FinishBlock(state_.channels[kLeft].estimate, state_.channels[kRight].estimate, params_,
                filters_, state_.output, out);
}

ChannelJob RestorationKernel::JobOf(Channel channel, std::span<const float, kBlockLength> input) {
    // The left channel is estimated from the right and the right from the
    // left; the noise-floor term is that of the estimator's input channel.
    const Channel other = channel == kLeft ? kRight : kLeft;
    return ChannelJob{
        .own = state_.channels[channel],
        .otherHistory = std::span<const float, kAnalysisLength>(
            state_.channels[other].buffer.data(), kAnalysisLength),
        .input = input,
        .inputNoiseFloor = other == kLeft ? params_.nfL : params_.nfR,
        .params = params_,
        .filters = filters_,
        .clickCounts = counts_.clicks[channel],
        .solveFailed = counts_.solveFailed[channel],
    };
}

void RestorationKernel::DrainBlock(std::span<float, kBlockLength> out) {
    static constexpr std::array<float, kBlockLength> kSilence{};
    ProcessBlock(kSilence, kSilence, out);
}

}  // namespace sonorel
