// Reading inputs: open by path or from memory, with the raw fallback for
// files whose header the library does not recognise and whose name (or the
// caller) says they are headerless.

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <mutex>
#include <vector>

#include "soundfile/library_lock.h"
#include "soundfile/library_metadata.h"
#include "soundfile/memory_stream.h"
#include "soundfile/sound_file.h"
#include "soundfile/unique_fd.h"

namespace sonorel {
namespace {

// Interleaved scratch of the reader: this many samples, whatever the channel
// count, so a file of many channels still reads in bounded memory.
constexpr std::int64_t kScratchSamples = 16384;

constexpr int kRawFormat = SF_FORMAT_RAW | SF_FORMAT_PCM_16 | SF_ENDIAN_BIG;

// Opens with the header's own format, or, when the library does not
// recognise it, as raw data with the defaults. `open(info)` makes one
// attempt; `restart()` puts the source back at its first byte.
// `rawAllowed` false refuses such a file with `unrecognised` set.
template <typename Open, typename Restart>
SNDFILE* OpenWithRawFallback(SF_INFO& info, bool& headerless, bool rawAllowed, bool& unrecognised,
                             Open open, Restart restart) {
    std::lock_guard<std::mutex> lock(SoundLibraryOpenLock());
    info = SF_INFO{};
    headerless = false;
    unrecognised = false;
    if (SNDFILE* file = open(info)) return file;
    if (sf_error(nullptr) != SF_ERR_UNRECOGNISED_FORMAT) return nullptr;
    unrecognised = !rawAllowed;
    if (!rawAllowed || !restart()) return nullptr;
    info = SF_INFO{};
    info.samplerate = kRawSampleRate;
    info.channels = kRawChannels;
    info.format = kRawFormat;
    headerless = true;
    return open(info);
}

// The value the pipeline may safely work with: non-finite samples become 0,
// absurdly large ones are limited (see kMaxSampleMagnitude).
inline float Sanitised(float sample) {
    if (!std::isfinite(sample)) return 0.0f;
    return std::clamp(sample, -kMaxSampleMagnitude, kMaxSampleMagnitude);
}

OpenProblem ProblemOfErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ELOOP:
            return OpenProblem::Missing;
        case EACCES:
        case EPERM:
            return OpenProblem::PermissionDenied;
        default:
            return OpenProblem::Damaged;
    }
}

}  // namespace

bool ReadsAsRaw(const std::filesystem::path& path, RawInput raw) {
    if (raw == RawInput::Always) return true;
    std::string extension = path.extension().string();
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');  // ASCII only, no locale
    }
    return extension == ".raw" || extension == ".pcm";
}

std::string DescribeOpenProblem(OpenProblem problem) {
    switch (problem) {
        case OpenProblem::None:
            return {};
        case OpenProblem::Missing:
            return "it does not exist";
        case OpenProblem::Folder:
            return "it is a folder";
        case OpenProblem::NotRegular:
            return "it is not a regular file";
        case OpenProblem::PermissionDenied:
            return "permission denied";
        case OpenProblem::NotSound:
            return "it is not a sound file the program reads (headerless data is read only from "
                   "names ending in .raw or .pcm, or with --raw)";
        case OpenProblem::Damaged:
            return "the sound library cannot read it (damaged or unsupported)";
    }
    return {};
}

struct SoundReader::Impl {
    MemoryStream memory;
    SNDFILE* file = nullptr;
    std::vector<float> interleaved;
    std::int64_t chunkFrames = 1;
    std::int64_t position = 0;  // frames read since the start

    ~Impl() {
        if (file) sf_close(file);
    }

    // Fills in what every reader needs once its file is open.
    bool Prepare(const SF_INFO& info, bool headerless, SoundFormat& format,
                 const std::function<bool()>& stopRequested = {}) {
        if (!file || info.channels < 1 || info.samplerate < 1 || info.frames < 0) return false;
        format.code = info.format;
        format.headerless = headerless;
        format.sampleRate = info.samplerate;
        format.channels = info.channels;
        chunkFrames = std::max<std::int64_t>(1, kScratchSamples / info.channels);
        interleaved.assign(static_cast<std::size_t>(chunkFrames * info.channels), 0.0f);
        format.frames = info.frames == SF_COUNT_MAX ? CountFrames(stopRequested) : info.frames;
        return format.frames >= 0;
    }

    // The library states no length for a streamed FLAC file (or one whose
    // writer never finished): count the frames that decode, up to the first
    // that does not, and start again. -1 when the file cannot be rewound or
    // a stop was requested. A stream of no frames (which the library cannot
    // seek in) needs no rewind.
    std::int64_t CountFrames(const std::function<bool()>& stopRequested) {
        std::int64_t total = 0;
        for (;;) {
            if (stopRequested && stopRequested()) return -1;
            const sf_count_t got = sf_readf_float(file, interleaved.data(), chunkFrames);
            if (got <= 0) break;
            total += got;
            if (got < chunkFrames) break;
        }
        return total == 0 || sf_seek(file, 0, SEEK_SET) == 0 ? total : -1;
    }
};

SoundReader::SoundReader() : impl_(std::make_unique<Impl>()) {}
SoundReader::~SoundReader() = default;

std::unique_ptr<SoundReader> SoundReader::Open(const std::filesystem::path& path,
                                               const std::function<bool()>& stopRequested,
                                               RawInput raw) {
    OpenProblem problem = OpenProblem::None;
    return OpenWithProblem(path, stopRequested, raw, problem);
}

std::unique_ptr<SoundReader> SoundReader::OpenExplained(const std::filesystem::path& path,
                                                        RawInput raw, OpenProblem& problem) {
    return OpenWithProblem(path, {}, raw, problem);
}

std::unique_ptr<SoundReader> SoundReader::OpenWithProblem(
    const std::filesystem::path& path, const std::function<bool()>& stopRequested, RawInput raw,
    OpenProblem& problem) {
    problem = OpenProblem::Damaged;
    std::unique_ptr<SoundReader> reader(new SoundReader());
    Impl& impl = *reader->impl_;
    // Without blocking: opening a FIFO for reading would otherwise wait for a
    // writer, forever. What was opened, not what the name was a moment
    // earlier, decides: only regular files (folders, pipes, sockets and
    // devices such as /dev/zero have no length to read, or no end).
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valid()) {
        problem = errno == EISDIR ? OpenProblem::Folder : ProblemOfErrno(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) return nullptr;
    if (!S_ISREG(st.st_mode)) {
        problem = S_ISDIR(st.st_mode) ? OpenProblem::Folder : OpenProblem::NotRegular;
        return nullptr;
    }
    // The library then gets an ordinary descriptor of a regular file.
    const int flags = ::fcntl(fd.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return nullptr;

    SF_INFO info{};
    bool headerless = false;
    bool unrecognised = false;
    // The library takes the descriptor's current offset as the file's start;
    // the duplicate shares the offset with `fd`.
    impl.file = OpenWithRawFallback(
        info, headerless, ReadsAsRaw(path, raw), unrecognised,
        [&](SF_INFO& i) -> SNDFILE* {
            const int copy = DuplicateForLibrary(fd);
            return copy < 0 ? nullptr : sf_open_fd(copy, SFM_READ, &i, SF_TRUE);
        },
        [&] { return ::lseek(fd.Get(), 0, SEEK_SET) == 0; });
    if (unrecognised) problem = OpenProblem::NotSound;
    if (!impl.Prepare(info, headerless, reader->format_, stopRequested)) return nullptr;
    problem = OpenProblem::None;
    return reader;
}

std::unique_ptr<SoundReader> SoundReader::OpenMemory(std::span<const std::byte> bytes) {
    std::unique_ptr<SoundReader> reader(new SoundReader());
    Impl& impl = *reader->impl_;
    impl.memory.bytes.assign(bytes.begin(), bytes.end());

    SF_INFO info{};
    bool headerless = false;
    bool unrecognised = false;
    impl.file = OpenWithRawFallback(
        info, headerless, true, unrecognised,
        [&](SF_INFO& i) {
            impl.memory.position = 0;
            return sf_open_virtual(MemoryStream::Callbacks(), SFM_READ, &i, &impl.memory);
        },
        [] { return true; });
    if (!impl.Prepare(info, headerless, reader->format_)) return nullptr;
    return reader;
}

std::string SoundReader::Comment() const {
    const char* comment = sf_get_string(impl_->file, SF_STR_COMMENT);
    return comment ? std::string(comment) : std::string();
}

SoundMetadata SoundReader::Metadata() const {
    return ReadLibraryMetadata(impl_->file);
}

std::int64_t SoundReader::Read(std::span<float> left, std::span<float> right, std::int64_t n) {
    if (n < 0 || static_cast<std::uint64_t>(n) > left.size() ||
        static_cast<std::uint64_t>(n) > right.size()) {
        return -1;
    }
    const int channels = format_.channels;
    float* scratch = impl_->interleaved.data();
    std::int64_t done = 0;
    // Never ask the library for frames past the stated length: zeros follow.
    const std::int64_t available = std::min(n, format_.frames - impl_->position);
    while (done < available) {
        const std::int64_t wanted = std::min(available - done, impl_->chunkFrames);
        const sf_count_t got = sf_readf_float(impl_->file, scratch, wanted);
        // A short read is the end of the data unless the library saw an error.
        if (got < 0 || (got < wanted && sf_error(impl_->file) != SF_ERR_NO_ERROR)) return -1;
        for (sf_count_t i = 0; i < got; ++i) {
            const float* frame = scratch + i * channels;
            left[done + i] = Sanitised(frame[0]);
            right[done + i] = channels > 1 ? Sanitised(frame[1]) : 0.0f;
        }
        done += got;
        impl_->position += got;
        if (got < wanted) break;
    }
    std::fill(left.begin() + done, left.begin() + n, 0.0f);
    std::fill(right.begin() + done, right.begin() + n, 0.0f);
    return n;
}

bool SoundReader::Rewind() {
    if (sf_seek(impl_->file, 0, SEEK_SET) != 0) return false;
    impl_->position = 0;
    return true;
}

}  // namespace sonorel
