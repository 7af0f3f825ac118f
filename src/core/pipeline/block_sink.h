#pragma once
// Where the per-file run puts each processed block: the output file of a
// Start run, or the 16-bit preview buffer. A Start run stores a window of
// the kernel's output: all of it, or for an aligned output the samples from
// the kernel's delay on, as many as the input has frames.

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "engine/block_frame.h"
#include "soundfile/sound_file.h"

namespace sonorel {

// Which of the kernel's output samples a Start run stores: those from
// `begin` up to, not including, `end`, counted from the first block's first.
struct OutputWindow {
    std::int64_t begin = 0;
    std::int64_t end = std::numeric_limits<std::int64_t>::max();
};

class BlockSink {
  public:
    BlockSink(SoundWriter* writer, OutputWindow window) : writer_(writer), window_(window) {}
    explicit BlockSink(std::vector<std::int16_t>* preview) : preview_(preview) {}

    bool IsPreview() const { return preview_ != nullptr; }
    std::int64_t Stored() const { return stored_; }

    // Stores the part of the block inside the window. False when the write
    // failed; then nothing of the block counts.
    bool Append(std::span<const float, kBlockLength> block);

  private:
    SoundWriter* writer_ = nullptr;
    std::vector<std::int16_t>* preview_ = nullptr;
    OutputWindow window_;
    std::int64_t streamPosition_ = 0;  // kernel output samples so far
    std::int64_t stored_ = 0;
};

}  // namespace sonorel
