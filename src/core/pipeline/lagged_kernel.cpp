#include "pipeline/lagged_kernel.h"

#include <algorithm>

namespace sonorel {

bool LaggedKernel::Step(std::span<const float, kBlockLength> left,
                        std::span<const float, kBlockLength> right,
                        std::span<float, kBlockLength> previousOut) {
    if (enhanced_ == nullptr) return classic_.ProcessBlockPipelined(left, right, previousOut);
    const bool handed = HandOver(previousOut);
    enhanced_->ProcessBlock(left, right, held_);
    holding_ = true;
    return handed;
}

bool LaggedKernel::Drain(std::span<float, kBlockLength> previousOut) {
    if (enhanced_ == nullptr) return classic_.DrainBlockPipelined(previousOut);
    const bool handed = HandOver(previousOut);
    enhanced_->DrainBlock(held_);
    holding_ = true;
    return handed;
}

bool LaggedKernel::Finish(std::span<float, kBlockLength> out) {
    if (enhanced_ == nullptr) return classic_.FinishPipelined(out);
    const bool handed = HandOver(out);
    holding_ = false;
    return handed;
}

const KernelBlockCounts& LaggedKernel::Counts() const {
    return enhanced_ != nullptr ? enhanced_->blockCounts : classic_.LastBlockCounts();
}

bool LaggedKernel::HandOver(std::span<float, kBlockLength> previousOut) {
    if (!holding_) return false;
    std::copy(held_.begin(), held_.end(), previousOut.begin());
    return true;
}

}  // namespace sonorel
