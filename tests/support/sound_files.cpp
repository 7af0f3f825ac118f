#include "support/sound_files.h"

#include <gtest/gtest.h>

namespace sonorel::test {

SoundFormat Wav16(int sampleRate, int channels) {
    return SoundFormat::Make(HeaderType::Wav, SampleEncoding::Pcm16, sampleRate, channels);
}

SoundFormat FloatWav(int sampleRate, int channels) {
    return SoundFormat::Make(HeaderType::Wav, SampleEncoding::Float32, sampleRate, channels);
}

void WriteSoundFile(const std::filesystem::path& path, const SoundFormat& format,
                    const Interleaved& interleaved, const std::string& comment) {
    CreateStatus status = CreateStatus::Failed;
    auto writer = SoundWriter::CreateWithChannels(path, format, format.channels, comment, status);
    ASSERT_TRUE(writer) << "cannot create test input " << path;
    ASSERT_TRUE(writer->Write(interleaved)) << path;
    ASSERT_TRUE(writer->Close()) << path;
}

MonoFile ReadMono(const std::filesystem::path& path) {
    MonoFile file;
    auto reader = SoundReader::Open(path);
    if (!reader) {
        ADD_FAILURE() << "cannot open " << path;
        return file;
    }
    file.format = reader->Format();
    file.comment = reader->Comment();
    EXPECT_EQ(file.format.channels, 1) << path;
    file.samples.resize(static_cast<std::size_t>(file.format.frames));
    std::vector<float> unused(file.samples.size());
    const std::int64_t read = reader->Read(file.samples, unused, file.format.frames);
    EXPECT_EQ(read, file.format.frames) << path;
    file.opened = read == file.format.frames;
    return file;
}

}  // namespace sonorel::test
