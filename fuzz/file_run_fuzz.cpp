// The whole per-file run on bytes from the fuzzer, in memory: opening and
// checking the input, the analysis, the kernel and the output through an
// in-memory writer, exactly as a Start run does them (RestoreOpened).
//
// An input is a 12-byte prefix, then either a sound file (any bytes, so that
// damaged headers reach the reader) or float samples, which the target
// wraps in a stereo float WAV of a length and sample rate the prefix
// chooses, so that hostile sample values (NaN, infinities, denormals, huge
// values) and lengths reach the analysis and the kernel:
//
//   byte 0      bit 0: samples (1) or a file (0); bit 1 "Anti-Phase Signal
//               Channels"; bit 2 "Keep Original Signal Level"; bit 3
//               "Vocal Remover"
//   bytes 1-8   the eight restoration sliders (click .. treble), each byte
//               taken modulo the slider's range
//   bytes 9-10  samples: frames beyond the 7060 of one analysis block
//   byte 11     samples: the sample rate, from kSampleRates
//
// The run is kept short by its own observer, which asks it to stop after
// kMaxAnalysisBlocks analysis blocks and kMaxBlocks processing blocks.
//
// Checked: the output is a file the reader opens, mono, whose header states
// exactly the frames written, every sample finite (a float WAV's samples
// bit for bit) and within +-0.999 (to the nearest step of integer data).

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/channel_analysis.h"
#include "engine/block_frame.h"
#include "pipeline/process_file.h"
#include "settings/product.h"
#include "soundfile/sound_file.h"

namespace {

using namespace sonorel;

constexpr std::size_t kPrefixBytes = 12;
constexpr std::int64_t kMaxAnalysisBlocks = 4;
constexpr std::int64_t kMaxBlocks = 12;
constexpr std::array<std::uint32_t, 8> kSampleRates{1,     8000,  11025, 22050,
                                                    44100, 48000, 96000, 384000};

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

// Stops the run once it has gone far enough to have shown what it does.
class BlockLimit : public RunObserver {
  public:
    bool StopRequested() override { return ++analysisBlocks_ > kMaxAnalysisBlocks; }
    bool UpdateProgress(std::int64_t value) override { return value >= kMaxBlocks; }
    bool ConfirmCancel() override { return true; }

  private:
    std::int64_t analysisBlocks_ = 0;
};

RunParameters ParametersFrom(std::span<const std::uint8_t, kPrefixBytes> prefix) {
    RestorationSettings settings;
    for (int i = 0; i < 8; ++i) {
        const auto slider = static_cast<Slider>(i);
        const SliderRange& range = RangeOf(slider);
        settings.Set(slider, range.minimum + prefix[1 + i] % (range.maximum - range.minimum + 1));
    }
    settings.anti_phase = (prefix[0] & 2) != 0;
    settings.keep_original_level = (prefix[0] & 4) != 0;
    settings.channel_function =
        (prefix[0] & 8) != 0 ? ChannelFunction::VocalRemover : ChannelFunction::MonoEnhancer;
    return settings.Convert();
}

void AppendLe(std::vector<std::byte>& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::byte>((value >> (8 * i)) & 0xff));
}

void AppendTag(std::vector<std::byte>& bytes, const char* tag) {
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::byte>(tag[i]));
}

// A stereo float WAV whose samples repeat the fuzzer's bytes, 4 to a sample.
std::vector<std::byte> FloatWav(std::span<const std::uint8_t, kPrefixBytes> prefix,
                                std::span<const std::uint8_t> samples) {
    const std::int64_t frames = kAnalysisBlockFrames + ((prefix[9] | prefix[10] << 8) % 16000);
    const std::uint32_t rate = kSampleRates[prefix[11] % kSampleRates.size()];
    const auto dataBytes = static_cast<std::uint32_t>(frames * 2 * 4);
    std::vector<std::byte> wav;
    wav.reserve(44 + dataBytes);
    AppendTag(wav, "RIFF");
    AppendLe(wav, 36 + dataBytes, 4);
    AppendTag(wav, "WAVE");
    AppendTag(wav, "fmt ");
    AppendLe(wav, 16, 4);
    AppendLe(wav, 3, 2);  // IEEE float
    AppendLe(wav, 2, 2);
    AppendLe(wav, rate, 4);
    AppendLe(wav, rate * 8, 4);
    AppendLe(wav, 8, 2);
    AppendLe(wav, 32, 2);
    AppendTag(wav, "data");
    AppendLe(wav, dataBytes, 4);
    const std::size_t units = samples.size() / 4;
    for (std::int64_t i = 0; i < frames * 2; ++i) {
        for (int b = 0; b < 4; ++b) {
            const std::uint8_t byte = units == 0 ? 0 : samples[(i % units) * 4 + b];
            wav.push_back(static_cast<std::byte>(byte));
        }
    }
    return wav;
}

std::uint32_t Le32(std::span<const std::byte> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

bool Tag(std::span<const std::byte> bytes, std::size_t at, const char* tag) {
    for (int i = 0; i < 4; ++i)
        if (bytes[at + i] != static_cast<std::byte>(tag[i])) return false;
    return true;
}

// A float WAV output, read as the bytes it is: its sizes agree with the
// bytes, and every sample is finite and within the bound. (The reader would
// hide a NaN: it reads non-finite samples as 0.)
void RequireSaneFloatWav(std::span<const std::byte> bytes) {
    Require(bytes.size() >= 12 && Tag(bytes, 0, "RIFF") && Tag(bytes, 8, "WAVE"));
    Require(Le32(bytes, 4) == bytes.size() - 8);
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = Le32(bytes, at + 4);
        if (Tag(bytes, at, "data")) {
            Require(at + 8 + size == bytes.size() && size % 4 == 0);
            for (std::size_t s = at + 8; s < bytes.size(); s += 4) {
                const float v = std::bit_cast<float>(Le32(bytes, s));
                Require(std::abs(v) <= kOutputBound);
            }
            return;
        }
        at += 8 + size + (size & 1u);
    }
    Require(false);  // no data chunk
}

// Integer data holds the nearest step to each sample, which may lie up to
// half a step beyond the bound (in 8 bits, -0.999 becomes -128 / 128).
float HalfStep(SampleEncoding encoding) {
    switch (encoding) {
        case SampleEncoding::Pcm16:
            return 0x1p-16f;
        case SampleEncoding::Pcm24:
            return 0x1p-24f;
        case SampleEncoding::Pcm32:
        case SampleEncoding::Float32:
        case SampleEncoding::Float64:
            return 0.0f;
        default:  // 8-bit, and mu-law and A-law, whose largest values lie within the bound
            return 0x1p-8f;
    }
}

void RequireSaneOutput(const SoundWriter& writer) {
    const std::span<const std::byte> bytes = writer.MemoryBytes();
    const auto reader = SoundReader::OpenMemory(bytes);
    Require(reader != nullptr);
    const SoundFormat& format = reader->Format();
    if (format.headerless) {
        // Raw data reads back as the raw defaults (stereo 16-bit), whatever
        // was written: the bytes must be exactly the samples written.
        Require(static_cast<std::int64_t>(bytes.size()) == writer.FramesWritten() * 2);
        return;
    }
    Require(format.channels == 1);
    // Lossy codecs neither state an exact length nor keep the bound exactly.
    const bool exact = format.BytesPerSample() > 0 || format.Header() == HeaderType::Flac;
    if (exact) Require(format.frames == writer.FramesWritten());
    if (format.Header() == HeaderType::Wav && format.Encoding() == SampleEncoding::Float32) {
        RequireSaneFloatWav(bytes);
    }
    const float bound = kOutputBound + HalfStep(format.Encoding());
    static std::array<float, kBlockLength> samples, unused;
    for (std::int64_t done = 0; done < format.frames; done += kBlockLength) {
        Require(reader->Read(samples, unused, kBlockLength) == kBlockLength);
        if (!exact) continue;
        for (const float v : samples)
            Require(std::abs(v) <= bound);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kPrefixBytes) return 0;
    const std::span<const std::uint8_t, kPrefixBytes> prefix(data, kPrefixBytes);
    const std::span<const std::uint8_t> rest(data + kPrefixBytes, size - kPrefixBytes);

    std::unique_ptr<SoundReader> reader;
    if ((prefix[0] & 1) != 0) {
        reader = SoundReader::OpenMemory(FloatWav(prefix, rest));
        Require(reader != nullptr);  // a well-formed file of our own making
    } else {
        reader = SoundReader::OpenMemory(std::as_bytes(rest));
        if (!reader) return 0;
    }
    const SoundFormat& format = reader->Format();
    Require(format.channels >= 1 && format.sampleRate >= 1 && format.frames >= 0);

    // The output as a Start run creates it: mono, in the input's format.
    const auto writer = SoundWriter::CreateInMemory(format, kOutputComment);
    if (!writer) return 0;  // a format the library reads but cannot write
    BlockLimit limit;
    const RunResult result = RestoreOpened(*reader, *writer, ParametersFrom(prefix), limit);
    Require(static_cast<int>(result) >= 0 && static_cast<int>(result) <= 4);
    Require(writer->FramesWritten() % kBlockLength == 0);
    RequireSaneOutput(*writer);
    return 0;
}
