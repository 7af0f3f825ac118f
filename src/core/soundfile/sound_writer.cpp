// Writing outputs: exclusive creation, a header that always matches the
// frames of the successful writes, and a clean shorter file when a write
// fails part way (disk full, file-size limit).

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <mutex>

#include "soundfile/library_lock.h"
#include "soundfile/library_metadata.h"
#include "soundfile/memory_stream.h"
#include "soundfile/sound_file.h"
#include "soundfile/unique_fd.h"

namespace sonorel {
namespace {

// The header is rewritten each time this many more frames have been written
// (1.5 s at 44100 Hz): a process that dies mid-file leaves a file whose
// header states all but the last few of the frames it holds, never more.
// Only for uncompressed data: the library's header rewrite breaks an Ogg
// stream, and FLAC writes its length when it is finished.
// Rewriting it after every block would cost about 25 ms per minute of sound.
constexpr std::int64_t kHeaderUpdateFrames = 65536;

// Removes a file this process has just created, unless something else has
// been put under its name in the meantime.
void RemoveOwnFile(const UniqueFd& fd, const std::filesystem::path& path) {
    struct stat own {};
    struct stat named {};
    if (::fstat(fd.Get(), &own) == 0 && ::lstat(path.c_str(), &named) == 0 &&
        own.st_dev == named.st_dev && own.st_ino == named.st_ino) {
        ::unlink(path.c_str());
    }
}

// Integer samples are converted here, not by the library: by default it
// scales by 2^(bits - 1) - 1, one step in 32768 less than it reads with, and
// its clipping mode, which scales by 2^(bits - 1), rounds down (measured
// with libsndfile 1.2: -0.999 became -32736, beyond the output bound, and
// every value moved by half a step on average). Here a sample becomes the
// nearest step of the full scale it is read with, so a 16-bit value v, read
// as v / 32768, is written back as v exactly.
constexpr std::size_t kConvertedSamples = 4096;

// Bits of the integer steps of an encoding written through the conversion;
// 0 for data the library takes as floats (float, and compressed codecs).
int IntegerBits(SampleEncoding encoding) {
    switch (encoding) {
        case SampleEncoding::PcmS8:
        case SampleEncoding::PcmU8:
            return 8;
        case SampleEncoding::Pcm16:
        case SampleEncoding::Ulaw:  // companded from 16-bit values
        case SampleEncoding::Alaw:
            return 16;
        case SampleEncoding::Pcm24:
            return 24;
        case SampleEncoding::Pcm32:
            return 32;
        default:
            return 0;
    }
}

// `sample` x 2^(bits - 1) rounded to the nearest step, limited to the
// format's range, as the library's 32-bit integers (the value in the top
// `bits` bits). NaN gives 0. fullScale is 2^(bits - 1), worked out once per
// block rather than per sample.
int ToIntegerSample(float sample, int bits, double fullScale) {
    const double steps = std::nearbyint(static_cast<double>(sample) * fullScale);
    if (!(steps == steps)) return 0;
    const double limited = std::clamp(steps, -fullScale, fullScale - 1.0);
    return static_cast<int>(static_cast<std::int64_t>(limited) * (std::int64_t{1} << (32 - bits)));
}

// What the format needs to be refused before anything is created.
SF_INFO InfoFor(const SoundFormat& format, int channelCount) {
    SF_INFO info{};
    info.samplerate = format.sampleRate;
    info.channels = channelCount;
    info.format = format.code;
    return info;
}

}  // namespace

struct SoundWriter::Impl {
    MemoryStream memory;  // the file's bytes, for a writer in memory
    SNDFILE* file = nullptr;
    std::filesystem::path path;  // empty in memory
    CommitStep commit;
    int formatCode = 0;
    int channels = 1;
    bool failed = false;
    bool updatesHeader = false;
    bool flac = false;
    int integerBits = 0;  // see IntegerBits
    std::array<int, kConvertedSamples> converted{};

    // Before any sample, so the comment goes into the header at the start.
    void Configure(const SoundFormat& format, int channelCount, const std::string& comment) {
        if (format.CanStoreComment() && !comment.empty()) {
            sf_set_string(file, SF_STR_COMMENT, comment.c_str());
        }
        formatCode = format.code;
        channels = channelCount;
        updatesHeader = format.BytesPerSample() > 0;
        flac = format.Header() == HeaderType::Flac;
        integerBits = IntegerBits(format.Encoding());
    }

    // Hands whole frames to the library, integer data converted in pieces
    // of at most kConvertedSamples. False when any part fails.
    bool WriteFrames(std::span<const float> samples) {
        const auto frameSamples = static_cast<std::size_t>(channels);
        if (integerBits == 0) {
            const auto frames = static_cast<sf_count_t>(samples.size() / frameSamples);
            return sf_writef_float(file, samples.data(), frames) == frames;
        }
        const std::size_t piece = kConvertedSamples / frameSamples * frameSamples;
        const double fullScale = std::ldexp(1.0, integerBits - 1);
        if (piece == 0) return false;  // more channels than the conversion holds
        for (std::size_t at = 0; at < samples.size(); at += piece) {
            const std::size_t count = std::min(piece, samples.size() - at);
            for (std::size_t i = 0; i < count; ++i)
                converted[i] = ToIntegerSample(samples[at + i], integerBits, fullScale);
            const auto frames = static_cast<sf_count_t>(count / frameSamples);
            if (sf_writef_int(file, converted.data(), frames) != frames) return false;
        }
        return true;
    }
};

SoundWriter::SoundWriter() : impl_(std::make_unique<Impl>()) {}

SoundWriter::~SoundWriter() {
    Close();
}

std::unique_ptr<SoundWriter> SoundWriter::Create(const std::filesystem::path& path,
                                                 const SoundFormat& format,
                                                 const std::string& comment, CreateStatus& status) {
    return CreateWithChannels(path, format, 1, comment, status);
}

std::unique_ptr<SoundWriter> SoundWriter::CreateWithChannels(const std::filesystem::path& path,
                                                             const SoundFormat& format,
                                                             int channelCount,
                                                             const std::string& comment,
                                                             CreateStatus& status) {
    status = CreateStatus::Failed;
    SF_INFO info = InfoFor(format, channelCount);
    // A format the library cannot write is refused before anything is created.
    if (channelCount < 1 || !sf_format_check(&info)) return nullptr;

    // O_EXCL: the name is ours only if nothing of that name exists at the
    // moment of creation, and a symbolic link is never followed.
    const UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd.Valid()) {
        if (errno == EEXIST) status = CreateStatus::Exists;
        return nullptr;
    }

    SNDFILE* file = nullptr;
    {
        std::lock_guard<std::mutex> lock(SoundLibraryOpenLock());
        const int copy = DuplicateForLibrary(fd);
        if (copy >= 0) file = sf_open_fd(copy, SFM_WRITE, &info, SF_TRUE);
    }
    if (!file) {
        RemoveOwnFile(fd, path);
        return nullptr;
    }
    std::unique_ptr<SoundWriter> writer(new SoundWriter());
    writer->impl_->file = file;
    writer->impl_->path = path;
    writer->impl_->Configure(format, channelCount, comment);
    status = CreateStatus::Created;
    return writer;
}

StoredMetadata SoundWriter::SetMetadata(const SoundMetadata& metadata) {
    Impl& impl = *impl_;
    // The header is laid out at the first write.
    if (!impl.file || impl.failed || written_ > 0) return {};
    return WriteLibraryMetadata(impl.file, impl.formatCode, metadata);
}

std::unique_ptr<SoundWriter> SoundWriter::CreateInMemory(const SoundFormat& format,
                                                         const std::string& comment) {
    SF_INFO info = InfoFor(format, 1);
    if (!sf_format_check(&info)) return nullptr;
    std::unique_ptr<SoundWriter> writer(new SoundWriter());
    Impl& impl = *writer->impl_;
    {
        std::lock_guard<std::mutex> lock(SoundLibraryOpenLock());
        impl.file = sf_open_virtual(MemoryStream::Callbacks(), SFM_WRITE, &info, &impl.memory);
    }
    if (!impl.file) return nullptr;
    impl.Configure(format, 1, comment);
    return writer;
}

std::span<const std::byte> SoundWriter::MemoryBytes() const {
    return impl_->memory.bytes;
}

bool SoundWriter::Write(std::span<const float> samples) {
    Impl& impl = *impl_;
    if (!impl.file || impl.failed || samples.size() % impl.channels != 0) return false;
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / impl.channels);
    if (impl.WriteFrames(samples) && sf_error(impl.file) == SF_ERR_NO_ERROR) {
        const bool crossed =
            written_ / kHeaderUpdateFrames != (written_ + frames) / kHeaderUpdateFrames;
        written_ += frames;
        if (crossed && impl.updatesHeader) sf_command(impl.file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
        return true;
    }
    // Part of the block may be on disk. Cut the file back to the frames of
    // the successful writes, so that the partial block does not count and the
    // header written at closing describes exactly the data that remains.
    impl.failed = true;
    sf_count_t keep = written_;
    sf_command(impl.file, SFC_FILE_TRUNCATE, &keep, sizeof keep);
    return false;
}

bool SoundWriter::Close() {
    Impl& impl = *impl_;
    if (!impl.file) return true;
    // Closed without a sample, the library would leave a WAV whose RIFF size
    // leaves out the comment and peak chunks it wrote, and a FLAC file with
    // nothing in it at all (its encoder starts with the first sample). An
    // explicit header update first gets the sizes right, and starts the FLAC
    // encoder, which then writes a stream of no samples.
    if (impl.updatesHeader || (impl.flac && written_ == 0)) {
        sf_command(impl.file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    }
    bool closed = sf_close(impl.file) == 0;
    impl.file = nullptr;
    if (impl.commit) {
        const std::filesystem::path committed = impl.commit(impl.path);
        if (committed.empty()) {
            closed = false;
        } else {
            impl.path = committed;
        }
        impl.commit = nullptr;
    }
    return closed;
}

void SoundWriter::CommitOnClose(CommitStep commit) {
    impl_->commit = std::move(commit);
}

const std::filesystem::path& SoundWriter::Path() const {
    return impl_->path;
}

}  // namespace sonorel
