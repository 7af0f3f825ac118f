// Writing outputs: exclusive creation, a header that always matches the
// frames of the successful writes, and a clean shorter file when a write
// fails part way (disk full, file-size limit).

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "soundfile/library_lock.h"
#include "soundfile/library_metadata.h"
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

}  // namespace

struct SoundWriter::Impl {
    SNDFILE* file = nullptr;
    int formatCode = 0;
    int channels = 1;
    bool failed = false;
    bool updatesHeader = false;
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
    SF_INFO info{};
    info.samplerate = format.sampleRate;
    info.channels = channelCount;
    info.format = format.code;
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
    // Before any sample, so the comment goes into the header at the start.
    if (format.CanStoreComment() && !comment.empty()) {
        sf_set_string(file, SF_STR_COMMENT, comment.c_str());
    }
    std::unique_ptr<SoundWriter> writer(new SoundWriter());
    writer->impl_->file = file;
    writer->impl_->formatCode = format.code;
    writer->impl_->channels = channelCount;
    writer->impl_->updatesHeader = format.BytesPerSample() > 0;
    status = CreateStatus::Created;
    return writer;
}

StoredMetadata SoundWriter::SetMetadata(const SoundMetadata& metadata) {
    Impl& impl = *impl_;
    // The header is laid out at the first write.
    if (!impl.file || impl.failed || written_ > 0) return {};
    return WriteLibraryMetadata(impl.file, impl.formatCode, metadata);
}

bool SoundWriter::Write(std::span<const float> samples) {
    Impl& impl = *impl_;
    if (!impl.file || impl.failed || samples.size() % impl.channels != 0) return false;
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / impl.channels);
    if (sf_writef_float(impl.file, samples.data(), frames) == frames &&
        sf_error(impl.file) == SF_ERR_NO_ERROR) {
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
    const bool closed = sf_close(impl.file) == 0;
    impl.file = nullptr;
    return closed;
}

}  // namespace sonorel
