#include "pipeline/block_sink.h"

#include <algorithm>

#include "pipeline/run_blocks.h"

namespace sonorel {

bool BlockSink::Append(std::span<const float, kBlockLength> block) {
    const std::int64_t first = streamPosition_;
    streamPosition_ += kBlockLength;
    const std::int64_t from = std::clamp<std::int64_t>(window_.begin - first, 0, kBlockLength);
    const std::int64_t to = std::clamp<std::int64_t>(window_.end - first, from, kBlockLength);
    if (from == to) return true;
    const std::span<const float> part = block.subspan(from, to - from);
    if (writer_ != nullptr) {
        if (!writer_->Write(part)) return false;
    } else {
        std::int16_t* into = preview_->data() + stored_;
        for (float value : part)
            *into++ = ToPreviewSample(value);
    }
    stored_ += to - from;
    return true;
}

}  // namespace sonorel
