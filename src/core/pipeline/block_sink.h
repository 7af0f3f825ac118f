#pragma once
// Where the processing pass puts each restored block. One loop
// (process_file.cpp) serves both runs through this interface: a Start run
// writes to its output file (FileSink), a preview fills the 16-bit preview
// buffer (PreviewSink), which the caller plays after the run.

#include <cstdint>
#include <limits>
#include <span>

#include "engine/block_frame.h"
#include "pipeline/preview_buffer.h"
#include "soundfile/sound_file.h"

namespace sonorel {

class BlockSink {
  public:
    virtual ~BlockSink() = default;

    // Stores what the sink keeps of the block. False when the write failed;
    // then nothing of the block counts. Allocates nothing.
    virtual bool Append(std::span<const float, kBlockLength> block) = 0;
    // The input block whose output was just appended, both walls. A Start
    // run keeps none of it. Allocates nothing.
    virtual void Hear(std::span<const float, kBlockLength> left,
                      std::span<const float, kBlockLength> right) {
        (void)left, (void)right;
    }
    // Ends the run's output once no block will follow, whether or not the
    // run got to its end. False when that failed.
    virtual bool Finish() = 0;
    // Samples stored so far.
    virtual std::int64_t Stored() const = 0;
    // Whether a cancel request is put to the user first (a Start run, which
    // leaves a shorter file behind), or stops at once (a preview).
    virtual bool ConfirmsCancel() const = 0;
};

// Which of the kernel's output samples a Start run stores: those from
// `begin` up to, not including, `end`, counted from the first block's first.
// All of them, or for an aligned output the samples from the kernel's delay
// on, as many as the input has frames.
struct OutputWindow {
    std::int64_t begin = 0;
    std::int64_t end = std::numeric_limits<std::int64_t>::max();
};

// A Start run's output file. Finish closes it, so that its header states
// exactly the samples of the successful writes.
class FileSink final : public BlockSink {
  public:
    FileSink(SoundWriter& writer, OutputWindow window) : writer_(writer), window_(window) {}

    bool Append(std::span<const float, kBlockLength> block) override;
    bool Finish() override { return writer_.Close(); }
    std::int64_t Stored() const override { return stored_; }
    bool ConfirmsCancel() const override { return true; }

  private:
    SoundWriter& writer_;
    OutputWindow window_;
    std::int64_t streamPosition_ = 0;  // kernel output samples so far
    std::int64_t stored_ = 0;
};

// A preview's buffer, sized by its owner for every block of the pass: the
// restored samples, and the original as the kernel hears it, `delaySamples`
// (the kernel's delay) later, so that both line up.
class PreviewSink final : public BlockSink {
  public:
    PreviewSink(PreviewBuffer& buffer, int delaySamples, bool antiPhase)
        : buffer_(buffer), delaySamples_(delaySamples), antiPhase_(antiPhase) {}

    bool Append(std::span<const float, kBlockLength> block) override;
    void Hear(std::span<const float, kBlockLength> left,
              std::span<const float, kBlockLength> right) override;
    bool Finish() override { return true; }
    std::int64_t Stored() const override { return buffer_.stored; }
    bool ConfirmsCancel() const override { return false; }

  private:
    PreviewBuffer& buffer_;
    int delaySamples_;
    bool antiPhase_;
    std::int64_t heardFrames_ = 0;
};

}  // namespace sonorel
