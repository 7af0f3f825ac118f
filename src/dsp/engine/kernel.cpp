#include "engine/kernel.h"

#include <algorithm>

#include "engine/click_repair.h"
#include "engine/estimator.h"
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
        worker_ = std::make_unique<WorkerThread>(&RightChannelJob, this);
    }
    Reset();
}

void RestorationKernel::Reset() {
    state_ = KernelState{};
}

void RestorationKernel::ProcessBlock(std::span<const float, kBlockLength> left,
                                     std::span<const float, kBlockLength> right,
                                     std::span<float, kBlockLength> out) {
    LoadHistory(kLeft);
    LoadHistory(kRight);
    if (worker_) {
        rightInput_ = right.data();
        worker_->Start();
        ChannelWork(kLeft, left);
        worker_->Finish();
    } else {
        ChannelWork(kLeft, left);
        ChannelWork(kRight, right);
    }
    Mix(out);
}

void RestorationKernel::RightChannelJob(void* kernel) {
    auto* self = static_cast<RestorationKernel*>(kernel);
    self->ChannelWork(kRight,
                      std::span<const float, kBlockLength>(self->rightInput_, kBlockLength));
}

void RestorationKernel::DrainBlock(std::span<float, kBlockLength> out) {
    static constexpr std::array<float, kBlockLength> kSilence{};
    ProcessBlock(kSilence, kSilence, out);
}

void RestorationKernel::LoadHistory(Channel channel) {
    const std::array<float, kAnalysisLength>& history =
        channel == kLeft ? state_.historyL : state_.historyR;
    std::copy(history.begin(), history.end(), buffers_[channel].begin());
}

void RestorationKernel::ChannelWork(Channel channel, std::span<const float, kBlockLength> input) {
    RepairClicks(channel, input);
    Estimate(channel);
}

void RestorationKernel::RepairClicks(Channel channel, std::span<const float, kBlockLength> input) {
    std::array<float, kChannelBuffer>& buffer = buffers_[channel];
    std::array<float, kAnalysisLength>& history =
        channel == kLeft ? state_.historyL : state_.historyR;
    RemoveClicks(input, params_.click, filters_.rumbleCoeffs, filters_.detectCoeffs,
                 channel == kLeft ? LeftClickChannel(state_) : RightClickChannel(state_),
                 std::span<float, kBlockLength>(buffer.data() + kAnalysisLength, kBlockLength),
                 &counts_.clicks[channel]);
    // The newest 2885 samples are the next block's history.
    std::copy(buffer.end() - kAnalysisLength, buffer.end(), history.begin());
}

void RestorationKernel::Estimate(Channel channel) {
    // The left channel is estimated from the right and the right from the
    // left; the noise-floor term is that of the estimator's input channel.
    const Channel other = channel == kLeft ? kRight : kLeft;
    const float inputNoiseFloor = other == kLeft ? params_.nfL : params_.nfR;
    const std::span<const float, kAnalysisLength> target(buffers_[channel].data() + kTargetOffset,
                                                         kAnalysisLength);
    const std::span<const float, kAnalysisLength> input(buffers_[other].data(), kAnalysisLength);
    const bool solved =
        EstimateChannel(target, input, inputNoiseFloor, params_.rejuv, params_.mode,
                        channel == kLeft ? state_.coefL : state_.coefR, estimates_[channel]);
    counts_.solveFailed[channel] = !solved;
}

void RestorationKernel::Mix(std::span<float, kBlockLength> out) {
    FinishBlock(estimates_[kLeft], estimates_[kRight], params_, filters_, state_, out);
}

}  // namespace sonorel
