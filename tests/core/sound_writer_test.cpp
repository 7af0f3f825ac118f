// Creating and writing outputs: never over anything that exists, and a
// header that states exactly the frames of the successful writes, also when
// a write fails part way or the process never closes the file.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "settings/product.h"
#include "soundfile/sound_file.h"
#include "support/file_size_limit.h"
#include "support/files.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"
#include "support/wav_layout.h"

namespace sonorel {
namespace {

using test::FileSizeLimit;
using test::TempFolder;
using test::Wav16;
constexpr int kBlock = 883;

std::vector<float> Block(float value) {
    return std::vector<float>(kBlock, value);
}

TEST(SoundWriter, NeverCreatesOverAnythingThatExists) {
    TempFolder folder;
    const auto file = folder / "taken.wav";
    std::ofstream(file) << "precious";
    std::filesystem::create_directory(folder / "folder.wav");
    std::filesystem::create_symlink(folder / "target.wav", folder / "link.wav");  // dangling

    CreateStatus status{};
    EXPECT_FALSE(SoundWriter::Create(file, Wav16(), kOutputComment, status));
    EXPECT_EQ(status, CreateStatus::Exists);
    EXPECT_EQ(test::ReadBytes(file),
              (std::vector<unsigned char>{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));

    EXPECT_FALSE(SoundWriter::Create(folder / "folder.wav", Wav16(), kOutputComment, status));
    EXPECT_EQ(status, CreateStatus::Exists);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "folder.wav"));

    // A link is a name that exists: it is not followed to create its target.
    EXPECT_FALSE(SoundWriter::Create(folder / "link.wav", Wav16(), kOutputComment, status));
    EXPECT_EQ(status, CreateStatus::Exists);
    EXPECT_FALSE(std::filesystem::exists(folder / "target.wav"));
}

TEST(SoundWriter, OtherCreationFailuresLeaveNothingBehind) {
    TempFolder folder;
    CreateStatus status{};
    EXPECT_FALSE(SoundWriter::Create(folder / "no" / "such" / "folder.wav", Wav16(), "", status));
    EXPECT_EQ(status, CreateStatus::Failed);

    // FLAC holds integer samples only: the library refuses float data.
    const auto flacFloat = SoundFormat::Make(HeaderType::Flac, SampleEncoding::Float32, 44100, 2);
    EXPECT_FALSE(SoundWriter::Create(folder / "float.flac", flacFloat, "", status));
    EXPECT_EQ(status, CreateStatus::Failed);
    EXPECT_FALSE(std::filesystem::exists(folder / "float.flac"));

    EXPECT_FALSE(SoundWriter::CreateWithChannels(folder / "none.wav", Wav16(), 0, "", status));
    EXPECT_EQ(status, CreateStatus::Failed);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(SoundWriter, ReadOnlyFolderFails) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    TempFolder folder;
    std::filesystem::permissions(
        folder.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    CreateStatus status{};
    EXPECT_FALSE(SoundWriter::Create(folder / "out.wav", Wav16(), "", status));
    EXPECT_EQ(status, CreateStatus::Failed);
}

TEST(SoundWriter, RefusesPartialFramesAndWritesAfterClosing) {
    TempFolder folder;
    CreateStatus status{};
    auto writer = SoundWriter::CreateWithChannels(folder / "s.wav", Wav16(), 2, "", status);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(writer->Write(std::vector<float>(3, 0.1f)));  // one and a half frames
    EXPECT_TRUE(writer->Write(std::vector<float>(4, 0.1f)));
    EXPECT_EQ(writer->FramesWritten(), 2);
    EXPECT_TRUE(writer->Close());
    EXPECT_TRUE(writer->Close());  // closing twice is harmless
    EXPECT_FALSE(writer->Write(std::vector<float>(4, 0.1f)));
    EXPECT_EQ(SoundReader::Open(folder / "s.wav")->Format().frames, 2);
}

class HeaderFollowsWrites : public ::testing::TestWithParam<HeaderType> {};

// A process that dies mid-file (or never closes it) still leaves a file whose
// header states the frames it holds but for the last 65536 at most.
TEST_P(HeaderFollowsWrites, HeaderStatesTheFramesWrittenBeforeClosing) {
    TempFolder folder;
    const auto path = folder / "open.snd";
    CreateStatus status{};
    auto writer =
        SoundWriter::Create(path, SoundFormat::Make(GetParam(), SampleEncoding::Pcm16, 44100, 2),
                            kOutputComment, status);
    ASSERT_TRUE(writer);
    for (int b = 0; b < 80; ++b)
        ASSERT_TRUE(writer->Write(Block(0.25f)));

    auto reader = SoundReader::Open(path);  // while the writer is still open
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->Format().frames, 75 * kBlock);  // the first write past 65536 frames

    writer.reset();  // the destructor closes
    EXPECT_EQ(SoundReader::Open(path)->Format().frames, 80 * kBlock);
}

// An output closed before its first sample (a run stopped or failed in its
// analysis) is a file of its own format holding no samples, whose header
// agrees with its size, not an empty or inconsistent one.
TEST(SoundWriter, OutputClosedWithoutSamplesIsAnEmptyFileOfItsFormat) {
    for (const SoundFormat& format :
         {Wav16(), SoundFormat::Make(HeaderType::Wav, SampleEncoding::Float32, 44100, 2),
          SoundFormat::Make(HeaderType::Aiff, SampleEncoding::Pcm16, 44100, 2),
          SoundFormat::Make(HeaderType::Flac, SampleEncoding::Pcm16, 44100, 2),
          SoundFormat::Make(HeaderType::Ogg, SampleEncoding::Other, 44100, 2)}) {
        SCOPED_TRACE(format.code);
        TempFolder folder;
        CreateStatus status{};
        ASSERT_TRUE(SoundWriter::Create(folder / "empty.snd", format, kOutputComment, status));
        const auto reader = SoundReader::Open(folder / "empty.snd");
        ASSERT_TRUE(reader);
        EXPECT_FALSE(reader->Format().headerless);
        EXPECT_EQ(reader->Format().Header(), format.Header());
        EXPECT_EQ(reader->Format().frames, 0);
        if (const auto layout = test::ParseWav(test::ReadBytes(folder / "empty.snd"))) {
            EXPECT_EQ(layout->riffBytes + 8, std::filesystem::file_size(folder / "empty.snd"));
        }
    }
}

// Compressed data has no header to bring up to date mid-file; trying would
// cut an Ogg stream short. Long outputs keep every frame.
TEST(SoundWriter, LongCompressedOutputsKeepEveryFrame) {
    for (const SoundFormat& format :
         {SoundFormat::Make(HeaderType::Flac, SampleEncoding::Pcm16, 44100, 2),
          SoundFormat::Make(HeaderType::Ogg, SampleEncoding::Other, 44100, 2)}) {
        TempFolder folder;
        CreateStatus status{};
        auto writer = SoundWriter::Create(folder / "long.snd", format, kOutputComment, status);
        ASSERT_TRUE(writer);
        for (int b = 0; b < 300; ++b)
            ASSERT_TRUE(writer->Write(Block(0.25f)));
        ASSERT_TRUE(writer->Close());
        auto reader = SoundReader::Open(folder / "long.snd");
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->Format().frames, 300 * kBlock) << format.code;
        EXPECT_EQ(reader->Comment(), kOutputComment);
    }
}

INSTANTIATE_TEST_SUITE_P(SoundWriter, HeaderFollowsWrites,
                         ::testing::Values(HeaderType::Wav, HeaderType::Aiff, HeaderType::Au));

// A 16-bit sample read as a float and written again at unity gain keeps its
// exact integer: reading and writing share the full scale 32768. (Written
// with the library's default scale of 32767, every value beyond +-16384
// would move by one step.) The input is headerless, every 16-bit value once
// in each channel, so nothing but the reader made its floats.
TEST(SoundWriter, SixteenBitSamplesReadAndWrittenBackKeepTheirExactValues) {
    TempFolder folder;
    std::string bytes;
    for (int v = -32768; v <= 32767; ++v) {
        for (const int sample : {v, -1 - v}) {  // big-endian, the raw default
            bytes.push_back(static_cast<char>((sample >> 8) & 0xff));
            bytes.push_back(static_cast<char>(sample & 0xff));
        }
    }
    std::ofstream(folder / "all.raw", std::ios::binary) << bytes;
    auto reader = SoundReader::Open(folder / "all.raw");
    ASSERT_TRUE(reader);
    std::vector<float> left(65536), right(65536);
    ASSERT_EQ(reader->Read(left, right, 65536), 65536);

    for (const HeaderType header : {HeaderType::Wav, HeaderType::Aiff, HeaderType::Flac}) {
        SCOPED_TRACE(static_cast<int>(header));
        const auto path = folder / ("out" + std::to_string(static_cast<int>(header)));
        CreateStatus status{};
        auto writer =
            SoundWriter::Create(path, SoundFormat::Make(header, SampleEncoding::Pcm16, 44100, 1),
                                kOutputComment, status);
        ASSERT_TRUE(writer);
        ASSERT_TRUE(writer->Write(left));
        ASSERT_TRUE(writer->Write(right));
        ASSERT_TRUE(writer->Close());
        auto back = SoundReader::Open(path);
        ASSERT_TRUE(back);
        std::vector<float> again(2 * 65536), unused(2 * 65536);
        ASSERT_EQ(back->Read(again, unused, 2 * 65536), 2 * 65536);
        int moved = 0;
        for (int i = 0; i < 65536; ++i) {
            moved += again[i] != left[i];
            moved += again[65536 + i] != right[i];
        }
        EXPECT_EQ(moved, 0);
    }
}

// Any sample comes back as the nearest step of the full scale it is read
// with: within half a step, the same for v and -v (no bias), and the
// kernel's bound +-0.999 stays within it in 16 bits (in 8 bits the nearest
// step of 0.999 is the largest one, 127/128). (The library's clipping
// mode rounds down: -0.999 comes back as -32736 / 32768.)
TEST(SoundWriter, IntegerSamplesAreWrittenAsTheNearestStep) {
    struct Case {
        HeaderType header;
        SampleEncoding encoding;
        double step;
    };
    std::vector<float> values{0.3f, -0.3f, 0.5f / 32768, -0.5f / 32768, 0.999f, -0.999f};
    for (int k = 0; k < 4000; ++k)
        values.push_back(0.999f * std::sin(0.37f * static_cast<float>(k)));
    for (const Case c : {Case{HeaderType::Wav, SampleEncoding::PcmU8, 1.0 / 128},
                         Case{HeaderType::Wav, SampleEncoding::Pcm16, 1.0 / 32768},
                         Case{HeaderType::Flac, SampleEncoding::Pcm16, 1.0 / 32768},
                         Case{HeaderType::Wav, SampleEncoding::Pcm24, 1.0 / 8388608}}) {
        SCOPED_TRACE(static_cast<int>(c.encoding));
        TempFolder folder;
        CreateStatus status{};
        auto writer =
            SoundWriter::Create(folder / "out", SoundFormat::Make(c.header, c.encoding, 44100, 1),
                                kOutputComment, status);
        ASSERT_TRUE(writer);
        ASSERT_TRUE(writer->Write(values));
        ASSERT_TRUE(writer->Close());
        auto reader = SoundReader::Open(folder / "out");
        ASSERT_TRUE(reader);
        const auto n = static_cast<std::int64_t>(values.size());
        std::vector<float> back(values.size()), unused(values.size());
        ASSERT_EQ(reader->Read(back, unused, n), n);
        for (std::size_t i = 0; i < values.size(); ++i) {
            // The largest value is one step below +1.0.
            const double wanted = std::min<double>(values[i], 1.0 - c.step);
            ASSERT_LE(std::abs(back[i] - wanted), c.step / 2) << values[i];
        }
        EXPECT_EQ(back[1], -back[0]);
        EXPECT_EQ(back[3], -back[2]);
        if (c.encoding == SampleEncoding::Pcm16) {
            EXPECT_LE(std::abs(back[5]), 0.999f);
        }
    }
}

struct LimitCase {
    const char* name;
    HeaderType header;
    SampleEncoding encoding;
};

class WriteFailure : public ::testing::TestWithParam<LimitCase> {};

// Room for two and a half blocks: the third write fails part way. The file
// must end up well formed with exactly the two blocks written, the partial
// block not counted, and every later write refused.
TEST_P(WriteFailure, PartialBlockDoesNotCountAndTheFileStaysWellFormed) {
    const LimitCase& c = GetParam();
    TempFolder folder;
    const SoundFormat format = SoundFormat::Make(c.header, c.encoding, 44100, 2);
    CreateStatus status{};

    // The size of the header alone, with the same comment.
    const auto empty = folder / "empty.snd";
    ASSERT_TRUE(SoundWriter::Create(empty, format, kOutputComment, status));
    const auto headerBytes = std::filesystem::file_size(empty);

    const auto path = folder / "limited.snd";
    auto writer = SoundWriter::Create(path, format, kOutputComment, status);
    ASSERT_TRUE(writer);
    const auto blockBytes = static_cast<rlim_t>(kBlock) * format.BytesPerSample();
    {
        FileSizeLimit limit(headerBytes + 2 * blockBytes + blockBytes / 2);
        if (!limit.Active()) GTEST_SKIP() << "cannot set a file-size limit";
        EXPECT_TRUE(writer->Write(Block(0.25f)));
        EXPECT_TRUE(writer->Write(Block(-0.25f)));
        EXPECT_FALSE(writer->Write(Block(0.5f)));
        EXPECT_FALSE(writer->Write(Block(0.5f)));  // nothing more once a write failed
    }
    EXPECT_EQ(writer->FramesWritten(), 2 * kBlock);
    EXPECT_TRUE(writer->Close());

    EXPECT_EQ(std::filesystem::file_size(path), headerBytes + 2 * blockBytes);
    if (c.header == HeaderType::Raw) return;  // no header to read back

    auto reader = SoundReader::Open(path);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->Format().frames, 2 * kBlock);
    EXPECT_EQ(reader->Comment(), reader->Format().CanStoreComment() ? kOutputComment : "");
    std::vector<float> left(3 * kBlock), right(3 * kBlock);
    ASSERT_EQ(reader->Read(left, right, 3 * kBlock), 3 * kBlock);
    for (int i = 0; i < 3 * kBlock; ++i) {
        const float want = i < kBlock ? 0.25f : (i < 2 * kBlock ? -0.25f : 0.0f);
        ASSERT_NEAR(left[i], want, 1.0 / 32768) << i;  // one 16-bit step; exact for float
    }
}

INSTANTIATE_TEST_SUITE_P(
    SoundWriter, WriteFailure,
    ::testing::Values(LimitCase{"Wav16", HeaderType::Wav, SampleEncoding::Pcm16},
                      LimitCase{"Wav24", HeaderType::Wav, SampleEncoding::Pcm24},
                      LimitCase{"WavFloat", HeaderType::Wav, SampleEncoding::Float32},
                      LimitCase{"Aiff16", HeaderType::Aiff, SampleEncoding::Pcm16},
                      LimitCase{"Au16", HeaderType::Au, SampleEncoding::Pcm16},
                      LimitCase{"Raw16", HeaderType::Raw, SampleEncoding::Pcm16}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// FLAC compresses in the library's buffers, so a full disk shows only some
// writes later, and the file cannot be cut back to a block boundary. It is
// left without a stated length (which no reader takes for complete) and
// must still read back to its last whole frame, as written.
TEST(SoundWriter, FlacCutShortByAWriteFailureReadsBackToItsLastWholeFrame) {
    TempFolder folder;
    const auto path = folder / "limited.flac";
    CreateStatus status{};
    auto writer = SoundWriter::Create(
        path, SoundFormat::Make(HeaderType::Flac, SampleEncoding::Pcm16, 44100, 2), kOutputComment,
        status);
    ASSERT_TRUE(writer);
    // White noise from a fixed generator: FLAC cannot shrink it much.
    std::vector<float> written;
    std::uint32_t seed = 1;
    {
        FileSizeLimit limit(40000);
        if (!limit.Active()) GTEST_SKIP() << "cannot set a file-size limit";
        for (int b = 0; b < 100; ++b) {
            std::vector<float> noise(kBlock);
            for (float& v : noise) {
                seed = seed * 1664525u + 1013904223u;
                v = static_cast<float>(seed >> 16) / 65536.0f - 0.5f;
            }
            if (!writer->Write(noise)) break;
            written.insert(written.end(), noise.begin(), noise.end());
        }
    }
    ASSERT_LT(written.size(), 100u * kBlock) << "the limit was never reached";
    writer->Close();

    auto reader = SoundReader::Open(path);
    ASSERT_TRUE(reader);
    const std::int64_t frames = reader->Format().frames;
    EXPECT_GT(frames, 0);
    EXPECT_LE(frames, writer->FramesWritten());
    std::vector<float> left(frames + kBlock), right(frames + kBlock);
    ASSERT_EQ(reader->Read(left, right, frames + kBlock), frames + kBlock);
    for (std::int64_t i = 0; i < frames; ++i) {
        ASSERT_NEAR(left[i], written[i], 1.0 / 32768) << i;  // one 16-bit step
    }
    for (std::int64_t i = frames; i < frames + kBlock; ++i)
        ASSERT_EQ(left[i], 0.0f) << i;
}

}  // namespace
}  // namespace sonorel
