// Any bytes, opened as a sound file and read as the per-file run reads it:
// the reader must neither crash nor hand on a sample that is not finite or
// beyond the stated limit, and the analysis of whatever it reads must give
// the kernel finite weights.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "analysis/channel_analysis.h"
#include "soundfile/sound_file.h"

namespace {

using sonorel::kAnalysisBlockFrames;

// At most this many analysis blocks per input, to keep each run short.
constexpr std::int64_t kMaxBlocks = 16;

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

void RequireSane(std::span<const float> samples) {
    for (float v : samples)
        Require(std::isfinite(v) && std::abs(v) <= sonorel::kMaxSampleMagnitude);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto reader =
        sonorel::SoundReader::OpenMemory(std::as_bytes(std::span<const std::uint8_t>(data, size)));
    if (!reader) return 0;
    const sonorel::SoundFormat& format = reader->Format();
    Require(format.channels >= 1 && format.sampleRate >= 1 && format.frames >= 0);

    static std::array<float, kAnalysisBlockFrames> left, right, highL, highR;
    sonorel::ChannelStats stats;
    float stateL = 0.0f, stateR = 0.0f;
    const std::int64_t blocks = std::min(format.frames / kAnalysisBlockFrames + 1, kMaxBlocks);
    for (std::int64_t b = 0; b < blocks; ++b) {
        if (reader->Read(left, right, kAnalysisBlockFrames) != kAnalysisBlockFrames) break;
        RequireSane(left);
        RequireSane(right);
        sonorel::AnalysisHighPass(stateL, left, highL);
        sonorel::AnalysisHighPass(stateR, right, highR);
        sonorel::MeasureBlock(highL, highR, stats);
    }
    // The loudest output gain (+12 dB) and the largest noise amount.
    for (bool keepLevel : {false, true}) {
        const sonorel::ChannelParams p = sonorel::DeriveChannelParams(
            stats, 1.0f, 3.981f, keepLevel, false, sonorel::ChannelFunction::MonoEnhancer);
        Require(std::isfinite(p.wL) && std::isfinite(p.wR));
        Require(std::isfinite(p.nfL) && std::isfinite(p.nfR));
    }

    if (reader->Rewind() && reader->Read(left, right, 883) == 883) {
        RequireSane(std::span(left).first(883));
        RequireSane(std::span(right).first(883));
    }
    return 0;
}
