#pragma once
// The only code that touches sound files. Inputs are read as two float
// channels at full scale +-1.0; outputs are mono files of the input's header
// type, data format and sample rate. Frame counts are 64-bit throughout.
//
// A file whose header is not recognised is read as headerless data with the
// raw defaults: 44100 Hz, 2 channels, big-endian 16-bit. Its output is a
// headerless mono file in the same data format.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace sonorel {

inline constexpr int kRawSampleRate = 44100;
inline constexpr int kRawChannels = 2;

// Header type, data format and endianness as one code, passed on unchanged
// from an input to its output.
struct SoundFormat {
    int code = 0;           // the sound library's format code
    bool headerless = false;
    int sampleRate = 0;
    int channels = 0;
    std::int64_t frames = 0;

    int BytesPerSample() const;  // 0 where the format has no fixed size (compressed)
    bool CanStoreComment() const;
};

class SoundReader {
public:
    // nullptr when the file cannot be opened or read at all.
    static std::unique_ptr<SoundReader> Open(const std::filesystem::path& path);
    ~SoundReader();
    SoundReader(const SoundReader&) = delete;
    SoundReader& operator=(const SoundReader&) = delete;

    const SoundFormat& Format() const { return format_; }

    // Reads the next n frames of channels 0 and 1 into left[0..n-1] and
    // right[0..n-1] (files with other channel counts are refused before any
    // read). Positions past the end of the data are zero; samples that are not
    // finite numbers are replaced by 0. Returns n, or -1 on a read failure.
    std::int64_t Read(std::span<float> left, std::span<float> right, std::int64_t n);

    // The next read starts at frame 0. False on failure.
    bool Rewind();

private:
    SoundReader() = default;
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
    // an existing file or folder of that name gives CreateStatus::Exists.
    static std::unique_ptr<SoundWriter> Create(const std::filesystem::path& path,
                                               const SoundFormat& format,
                                               const std::string& comment, CreateStatus& status);
    ~SoundWriter();  // closes as Close() does
    SoundWriter(const SoundWriter&) = delete;
    SoundWriter& operator=(const SoundWriter&) = delete;

    // Appends samples; false on failure, in which case nothing of this call
    // counts as written.
    bool Write(std::span<const float> samples);

    // Closes the file so that its header states exactly the samples written
    // by successful Write calls. False if closing failed.
    bool Close();

    std::int64_t FramesWritten() const { return written_; }

private:
    SoundWriter() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::int64_t written_ = 0;
};

}  // namespace sonorel
