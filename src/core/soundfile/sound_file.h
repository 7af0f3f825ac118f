#pragma once
// The only code that touches sound files. Inputs are read as two float
// channels at full scale +-1.0; outputs are mono files of the input's header
// type, data format and sample rate. Frame counts are 64-bit throughout.
// Integer data (PCM, mu-law, A-law) has the same full scale both ways,
// 2^(bits - 1): a 16-bit value v reads as v / 32768, and a sample is written
// as the nearest step, so v / 32768 is written back as v exactly; +1.0 and
// beyond are written as the largest value.
//
// A file whose header is not recognised is read as headerless data with the
// raw defaults (44100 Hz, 2 channels, big-endian 16-bit) only when its name
// ends in ".raw" or ".pcm" (any case) or the caller asks for it; anything
// else is refused as not a sound file, so that a label scan or a text file
// beside the transfers is never "restored" into noise. A headerless input's
// output is a headerless mono file in the same data format.
//
// Readers and writers are independent objects: several files may be read and
// written at once from different threads, one thread per object.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "soundfile/sound_metadata.h"

namespace sonorel {

inline constexpr int kRawSampleRate = 44100;
inline constexpr int kRawChannels = 2;

// Samples of float files beyond this magnitude (60 dB above full scale) are
// limited to it as they are read: such values are damage, not sound, and
// their squares would overflow the single-precision sums downstream.
inline constexpr float kMaxSampleMagnitude = 1000.0f;

// Named parts of a format code, for tools and tests that make files of a
// given kind. Codes the library knows but these names do not cover read as
// Other and are still passed on unchanged.
enum class HeaderType { Wav, WavEx, Aiff, Au, Raw, Flac, Caf, W64, Rf64, Ogg, Other };
enum class SampleEncoding {
    PcmS8,
    PcmU8,
    Pcm16,
    Pcm24,
    Pcm32,
    Float32,
    Float64,
    Ulaw,
    Alaw,
    Other
};
enum class ByteOrder { Default, Little, Big };

// What an output may be asked to be instead of the input's own format
// (sonorel-cli --format, --bits); Same keeps the input's.
enum class OutputHeader { Same, Wav, Flac };
enum class OutputBits { Same, Pcm16, Pcm24, Float };

// Header type, data format and endianness as one code, passed on unchanged
// from an input to its output unless a conversion is asked for.
struct SoundFormat {
    int code = 0;  // the sound library's format code
    bool headerless = false;
    int sampleRate = 0;
    int channels = 0;
    std::int64_t frames = 0;

    static SoundFormat Make(HeaderType header, SampleEncoding encoding, int sampleRate,
                            int channels, ByteOrder order = ByteOrder::Default);

    HeaderType Header() const;
    SampleEncoding Encoding() const;
    ByteOrder Order() const;

    // The sound library's names: "WAV (Microsoft)", "Signed 16 bit PCM".
    std::string HeaderName() const;
    std::string EncodingName() const;

    int BytesPerSample() const;  // 0 where the format has no fixed size (compressed)
    // Vorbis, Opus or MPEG data: what they drop does not come back.
    bool IsLossy() const;
    // This format written as `header` with `bits`. Same and Same give this
    // format unchanged. A header change keeps the data format where the new
    // header holds it, else 24-bit PCM (lossy data becomes 24-bit PCM);
    // FLAC holds 8-, 16- and 24-bit PCM only, so float is refused there
    // by the command line.
    SoundFormat Converted(OutputHeader header, OutputBits bits) const;
    bool CanStoreComment() const;
};

// When a file without a recognised header is read as headerless data.
enum class RawInput {
    ByName,  // only names ending in ".raw" or ".pcm", in any letter case
    Always,  // every such file (sonorel-cli --raw)
};

// Whether `path` may be read as headerless data under `raw`.
bool ReadsAsRaw(const std::filesystem::path& path, RawInput raw);

// Why an input could not be opened; None when it could.
enum class OpenProblem {
    None,
    Missing,           // no such file (or a dangling link)
    Folder,            // a folder
    NotRegular,        // a pipe, socket or device
    PermissionDenied,  // no read permission
    NotSound,          // no header the library reads, and not taken as raw
    Damaged,           // a recognised header the library cannot read, or a read error
};

// The cause in a few words, to follow a message: "it does not exist".
std::string DescribeOpenProblem(OpenProblem problem);

class SoundReader {
  public:
    // nullptr when the file cannot be opened or read at all (missing,
    // unreadable, not a regular file, or a recognised header that is damaged).
    // A file that does not state its length (a FLAC stream whose writer never
    // finished) is decoded once to count its frames, which for hours of sound
    // takes seconds: `stopRequested`, when given, is asked between pieces of
    // it, and true gives up (nullptr).
    static std::unique_ptr<SoundReader> Open(const std::filesystem::path& path,
                                             const std::function<bool()>& stopRequested = {},
                                             RawInput raw = RawInput::ByName);
    // The same, saying in `problem` why the file could not be opened.
    static std::unique_ptr<SoundReader> OpenExplained(const std::filesystem::path& path,
                                                      RawInput raw, OpenProblem& problem);
    // The same over bytes in memory (copied), for tests and fuzzing. Bytes
    // without a recognised header are read as headerless data.
    static std::unique_ptr<SoundReader> OpenMemory(std::span<const std::byte> bytes);
    ~SoundReader();
    SoundReader(const SoundReader&) = delete;
    SoundReader& operator=(const SoundReader&) = delete;

    const SoundFormat& Format() const { return format_; }

    // The header comment, empty where there is none.
    std::string Comment() const;

    // The text fields (the comment among them) and the 'bext' chunk.
    SoundMetadata Metadata() const;

    // Reads the next n frames of channels 0 and 1 into left[0..n-1] and
    // right[0..n-1] (files with other channel counts are refused before any
    // read; a mono file gives zeros in `right`). Positions past the end of the
    // data are zero; samples that are not finite numbers are replaced by 0.
    // Returns n, or -1 on a read failure or when a span is shorter than n.
    std::int64_t Read(std::span<float> left, std::span<float> right, std::int64_t n);

    // The next read starts at frame 0. False on failure.
    bool Rewind();

  private:
    SoundReader();
    static std::unique_ptr<SoundReader> OpenWithProblem(const std::filesystem::path& path,
                                                        const std::function<bool()>& stopRequested,
                                                        RawInput raw, OpenProblem& problem);
    struct Impl;
    std::unique_ptr<Impl> impl_;
    SoundFormat format_;
};

enum class CreateStatus { Created, Exists, Failed };

class SoundWriter {
  public:
    // Creates a new mono file with the given format's header type, data format
    // and sample rate, and the header comment where the format can store one.
    // Never replaces an existing file: the creation is exclusive (O_EXCL), and
    // an existing file or folder of that name gives CreateStatus::Exists. When
    // the library refuses the format, the new file is removed again (Failed).
    static std::unique_ptr<SoundWriter> Create(const std::filesystem::path& path,
                                               const SoundFormat& format,
                                               const std::string& comment, CreateStatus& status);
    // The same with `channelCount` channels; Write then takes interleaved
    // samples, channelCount per frame. For tools and tests that make inputs.
    static std::unique_ptr<SoundWriter> CreateWithChannels(const std::filesystem::path& path,
                                                           const SoundFormat& format,
                                                           int channelCount,
                                                           const std::string& comment,
                                                           CreateStatus& status);
    // A new mono file as Create makes it, but in memory, for tests and
    // fuzzing; nullptr when the library refuses the format. Once closed, the
    // file's bytes are MemoryBytes().
    static std::unique_ptr<SoundWriter> CreateInMemory(const SoundFormat& format,
                                                       const std::string& comment);
    ~SoundWriter();  // closes as Close() does
    SoundWriter(const SoundWriter&) = delete;
    SoundWriter& operator=(const SoundWriter&) = delete;

    // Gives the file the text fields and 'bext' chunk of `metadata` that its
    // header type can store (the comment given to Create is replaced only if
    // `metadata` holds one). Only before the first Write: afterwards nothing
    // is stored. Returns what was stored.
    StoredMetadata SetMetadata(const SoundMetadata& metadata);

    // Appends samples (whole frames); false on failure, in which case nothing
    // of this call counts as written, and every later Write fails too.
    // Uncompressed formats also have their header brought up to date every
    // 65536 frames, so even a process that dies leaves a well-formed file.
    bool Write(std::span<const float> samples);

    // Closes the file so that its header states exactly the frames written by
    // successful Write calls, then runs the commit step, if one is set. False
    // if closing or the commit failed. Further calls do nothing.
    bool Close();

    // Run by Close once the file is complete on disk: given the path the file
    // was written under, it gives the file its final name and returns it, or
    // returns an empty path when it could not (the file keeps its name).
    using CommitStep = std::function<std::filesystem::path(const std::filesystem::path&)>;
    void CommitOnClose(CommitStep commit);

    // Where the file is: the path it was created under, then the committed one.
    const std::filesystem::path& Path() const;

    std::int64_t FramesWritten() const { return written_; }

    // The bytes of a writer made by CreateInMemory; empty for a file on disk.
    std::span<const std::byte> MemoryBytes() const;

  private:
    SoundWriter();
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::int64_t written_ = 0;
};

}  // namespace sonorel
