#include "pipeline/block_sink.h"

#include <algorithm>

#include "pipeline/run_blocks.h"

namespace sonorel {

bool FileSink::Append(std::span<const float, kBlockLength> block) {
    const std::int64_t first = streamPosition_;
    streamPosition_ += kBlockLength;
    const std::int64_t from = std::clamp<std::int64_t>(window_.begin - first, 0, kBlockLength);
    const std::int64_t to = std::clamp<std::int64_t>(window_.end - first, from, kBlockLength);
    if (from == to) return true;
    if (!writer_.Write(block.subspan(from, to - from))) return false;
    stored_ += to - from;
    return true;
}

bool PreviewSink::Append(std::span<const float, kBlockLength> block) {
    std::int16_t* into = buffer_.samples.data() + buffer_.stored;
    for (float value : block)
        *into++ = ToPreviewSample(value);
    buffer_.stored += kBlockLength;
    return true;
}

void PreviewSink::Hear(std::span<const float, kBlockLength> left,
                       std::span<const float, kBlockLength> right) {
    const float sign = antiPhase_ ? -1.0f : 1.0f;
    const auto size = static_cast<std::int64_t>(buffer_.original.size());
    const std::int64_t first = heardFrames_ + delaySamples_;
    const std::int64_t count = std::clamp<std::int64_t>(size - first, 0, kBlockLength);
    std::int16_t* into = buffer_.original.data() + first;
    for (std::int64_t i = 0; i < count; ++i)
        *into++ = ToPreviewSample(0.5f * (left[i] + sign * right[i]));
    heardFrames_ += kBlockLength;
}

}  // namespace sonorel
