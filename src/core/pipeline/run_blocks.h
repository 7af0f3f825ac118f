#pragma once
// How many blocks a run processes, and the preview's 16-bit samples.
//
// A Start run processes ceil(frames / 883) blocks, so the output holds between
// `frames` and `frames` + 882 samples (frames past the end are read as zeros).
// A preview processes whole playback chunks of 8 blocks (7064 samples): as
// many as the preview length needs, rounded up, but never a chunk that would
// run past the last whole chunk of the file. Counts are 64-bit: a transfer of
// more than 2^31 frames (13 hours at 44100 Hz) neither overflows nor loses its
// end.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/block_frame.h"
#include "pipeline/playback.h"

namespace sonorel {

inline constexpr std::int64_t kBlocksPerChunk = kPlaybackChunkSamples / kBlockLength;  // 8
static_assert(kBlocksPerChunk * kBlockLength == kPlaybackChunkSamples);

// Blocks of a Start run: ceil(frames / 883).
constexpr std::int64_t ProcessingBlocks(std::int64_t frames) {
    return frames <= 0 ? 0 : (frames + kBlockLength - 1) / kBlockLength;
}

// Blocks of an aligned Start run: enough for the kernel to bring out the
// last input frame, `delay` samples (its kernel's delay) after it went in.
constexpr std::int64_t AlignedBlocks(std::int64_t frames, int delay = kKernelDelay) {
    return frames <= 0 ? 0 : ProcessingBlocks(frames + delay);
}

// Playback chunks of a preview of `previewSeconds` at `sampleRate`, rounded up:
// ceil(seconds x rate / 7064).
constexpr std::int64_t PreviewChunks(std::int64_t previewSeconds, std::int64_t sampleRate) {
    const std::int64_t samples =
        std::max<std::int64_t>(previewSeconds, 0) * std::max<std::int64_t>(sampleRate, 0);
    return (samples + kPlaybackChunkSamples - 1) / kPlaybackChunkSamples;
}

// Blocks of a preview run: min(8 u, 8 floor(N0 / 8)), N0 the blocks of a Start run.
constexpr std::int64_t PreviewBlocks(std::int64_t frames, std::int64_t previewSeconds,
                                     std::int64_t sampleRate) {
    const std::int64_t wholeChunks = ProcessingBlocks(frames) / kBlocksPerChunk;
    return kBlocksPerChunk * std::min(PreviewChunks(previewSeconds, sampleRate), wholeChunks);
}

// value x 32768 truncated toward zero. The kernel's clamp keeps |value| at
// most kOutputBound, so the product fits 16 bits and the clamp here changes
// nothing; with the NaN test it only keeps a value the kernel's clamp lets
// through from becoming undefined behaviour in the conversion.
inline std::int16_t ToPreviewSample(float value) {
    static_assert(kOutputBound * 32768.0f < 32768.0f);
    if (std::isnan(value)) return 0;
    const float bounded = std::clamp(value, -kOutputBound, kOutputBound);
    return static_cast<std::int16_t>(static_cast<int>(bounded * 32768.0f));
}

}  // namespace sonorel
