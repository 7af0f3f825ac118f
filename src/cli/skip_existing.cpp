#include "cli/skip_existing.h"

#include "pipeline/run_blocks.h"

namespace sonorel {

bool IsFinishedOutput(const std::filesystem::path& input, const std::filesystem::path& output,
                      bool aligned, RawInput raw) {
    const std::unique_ptr<SoundReader> in = SoundReader::Open(input, {}, raw);
    if (!in) return false;
    // A finished output has a header; a headerless one is read by name only.
    const std::unique_ptr<SoundReader> out = SoundReader::Open(output, {}, RawInput::ByName);
    if (!out || out->Format().channels != 1) return false;
    const std::int64_t frames = in->Format().frames;
    const std::int64_t expected = aligned ? frames : ProcessingBlocks(frames) * kBlockLength;
    return out->Format().frames == expected;
}

}  // namespace sonorel
