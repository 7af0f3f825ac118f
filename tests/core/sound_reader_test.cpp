// Opening and reading inputs: what cannot be opened, the raw fallback,
// zero fill past the end, rewinding, damaged sample values, other channel
// counts, and the in-memory open.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "analysis/channel_analysis.h"
#include "soundfile/sound_file.h"
#include "support/files.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

using test::TempFolder;
using test::Wav16;

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Each input that cannot be opened, with the cause its message names.
TEST(SoundReader, WhatCannotBeOpenedGivesNullAndItsCause) {
    TempFolder folder;
    // Not regular files, refused without a read: a FIFO without a writer
    // (opening it for reading must not wait for one), a device without an
    // end, and a link to a FIFO.
    ASSERT_EQ(::mkfifo((folder / "fifo.wav").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder / "fifo.wav", folder / "link.wav");
    // A recognised header that is damaged is not taken for raw data.
    WriteBytes(folder / "damaged.wav", std::string("RIFF\x10\0\0\0WAVEfmt \x02\0\0\0\0\0", 22));
    WriteBytes(folder / "label.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(4000, 'x'));
    WriteBytes(folder / "empty.wav", "");
    const struct {
        std::filesystem::path path;
        OpenProblem problem;
    } cases[] = {
        {folder / "missing.wav", OpenProblem::Missing},
        {folder.Path(), OpenProblem::Folder},
        {folder / "fifo.wav", OpenProblem::NotRegular},
        {"/dev/zero", OpenProblem::NotRegular},
        {folder / "link.wav", OpenProblem::NotRegular},
        {folder / "damaged.wav", OpenProblem::Damaged},
        {folder / "label.png", OpenProblem::NotSound},
        {folder / "empty.wav", OpenProblem::NotSound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.string());
        EXPECT_FALSE(SoundReader::Open(c.path));
        OpenProblem problem = OpenProblem::None;
        EXPECT_FALSE(SoundReader::OpenExplained(c.path, RawInput::ByName, problem));
        EXPECT_EQ(problem, c.problem);
    }
}

TEST(SoundReader, UnreadableFileGivesNull) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    TempFolder folder;
    test::WriteSoundFile(folder / "locked.wav", Wav16(), test::DistinctTones(2, 100, 44100));
    std::filesystem::permissions(folder / "locked.wav", std::filesystem::perms::none);
    OpenProblem problem = OpenProblem::None;
    EXPECT_FALSE(SoundReader::OpenExplained(folder / "locked.wav", RawInput::ByName, problem));
    EXPECT_EQ(problem, OpenProblem::PermissionDenied);
}

// Bytes without a header the library knows are read as headerless data only
// from a name ending in .raw or .pcm (any case) or when asked; they are then
// 44100 Hz stereo big-endian 16-bit, whatever the name suggests (".au" would
// suggest 8000 Hz mu-law to the library).
TEST(SoundReader, HeaderlessDataIsReadOnlyFromRawNamesOrWhenAsked) {
    TempFolder folder;
    // Frames (0.5, -0.5) and (0.25, -0.25), then 998 frames of silence.
    std::string bytes("\x40\x00\xc0\x00\x20\x00\xe0\x00", 8);
    bytes.append(4 * 998, '\0');
    bytes.append("xyz");  // a trailing partial frame is not a frame
    const struct {
        const char* name;
        RawInput raw;
        bool read;
    } cases[] = {
        {"transfer.raw", RawInput::ByName, true}, {"transfer.PCM", RawInput::ByName, true},
        {"transfer.Raw", RawInput::ByName, true}, {"transfer.au", RawInput::ByName, false},
        {"notes.txt", RawInput::ByName, false},   {"transfer", RawInput::ByName, false},
        {"transfer.au", RawInput::Always, true},  {"notes.txt", RawInput::Always, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(folder / c.name, bytes);
        auto reader = SoundReader::Open(folder / c.name, {}, c.raw);
        ASSERT_EQ(reader != nullptr, c.read);
        if (!reader) continue;
        const SoundFormat& f = reader->Format();
        EXPECT_TRUE(f.headerless);
        EXPECT_EQ(f.sampleRate, 44100);
        EXPECT_EQ(f.channels, 2);
        EXPECT_EQ(f.frames, 1000);
        EXPECT_EQ(f.Encoding(), SampleEncoding::Pcm16);
        EXPECT_EQ(f.Order(), ByteOrder::Big);
        EXPECT_EQ(reader->Comment(), "");

        std::array<float, 2> left{}, right{};
        ASSERT_EQ(reader->Read(left, right, 2), 2);
        EXPECT_EQ(left[0], 0.5f);
        EXPECT_EQ(right[0], -0.5f);
        EXPECT_EQ(left[1], 0.25f);
        EXPECT_EQ(right[1], -0.25f);
    }
}

TEST(SoundReader, EmptyRawFileIsHeaderlessAndHoldsNoFrames) {
    TempFolder folder;
    WriteBytes(folder / "empty.raw", "");
    auto reader = SoundReader::Open(folder / "empty.raw");
    ASSERT_TRUE(reader);
    EXPECT_TRUE(reader->Format().headerless);
    EXPECT_EQ(reader->Format().frames, 0);
}

TEST(SoundReader, ReadsPastTheEndAsZerosAndRewinds) {
    TempFolder folder;
    const std::vector<float> signal = test::DistinctTones(2, 1000, 44100);
    test::WriteSoundFile(folder / "short.wav", Wav16(), signal);
    auto reader = SoundReader::Open(folder / "short.wav");
    ASSERT_TRUE(reader);

    std::vector<float> first(883), left(883), right(883, 9.0f);
    ASSERT_EQ(reader->Read(first, right, 883), 883);
    // Frames 883..999, then zeros.
    std::fill(left.begin(), left.end(), 9.0f);
    ASSERT_EQ(reader->Read(left, right, 883), 883);
    for (int i = 0; i < 117; ++i)
        ASSERT_NEAR(left[i], signal[2 * (883 + i)], 1.0 / 32768);
    for (int i = 117; i < 883; ++i)
        ASSERT_EQ(left[i], 0.0f) << i;
    for (int i = 117; i < 883; ++i)
        ASSERT_EQ(right[i], 0.0f) << i;
    // Wholly past the end.
    std::fill(left.begin(), left.end(), 9.0f);
    ASSERT_EQ(reader->Read(left, right, 883), 883);
    for (float v : left)
        ASSERT_EQ(v, 0.0f);

    ASSERT_TRUE(reader->Rewind());
    ASSERT_EQ(reader->Read(left, right, 883), 883);
    EXPECT_EQ(left, first);
}

TEST(SoundReader, RefusesBuffersShorterThanTheRead) {
    TempFolder folder;
    test::WriteSoundFile(folder / "a.wav", Wav16(), test::DistinctTones(2, 100, 44100));
    auto reader = SoundReader::Open(folder / "a.wav");
    ASSERT_TRUE(reader);
    std::vector<float> left(10), right(9);
    EXPECT_EQ(reader->Read(left, right, 10), -1);
    EXPECT_EQ(reader->Read(left, right, -1), -1);
}

// Float files can hold NaN and infinities. One of them inside the recursive
// filters downstream would make every later sample NaN; as read they are 0,
// and absurd magnitudes are limited.
TEST(SoundReader, NonFiniteSamplesBecomeZeroAndDoNotSpread) {
    TempFolder folder;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> signal = test::DistinctTones(2, kAnalysisBlockFrames, 44100);
    std::vector<float> clean = signal;
    signal[2 * 100] = nan;
    signal[2 * 200 + 1] = inf;
    signal[2 * 300] = -inf;
    clean[2 * 100] = clean[2 * 200 + 1] = clean[2 * 300] = 0.0f;
    signal[2 * 400] = 1e30f;
    signal[2 * 400 + 1] = -1e30f;
    clean[2 * 400] = kMaxSampleMagnitude;
    clean[2 * 400 + 1] = -kMaxSampleMagnitude;
    test::WriteSoundFile(folder / "float.wav",
                         SoundFormat::Make(HeaderType::Wav, SampleEncoding::Float32, 44100, 2),
                         signal);

    auto reader = SoundReader::Open(folder / "float.wav");
    ASSERT_TRUE(reader);
    std::array<float, kAnalysisBlockFrames> left{}, right{};
    ASSERT_EQ(reader->Read(left, right, kAnalysisBlockFrames), kAnalysisBlockFrames);
    for (int i = 0; i < kAnalysisBlockFrames; ++i) {
        ASSERT_EQ(left[i], clean[2 * i]) << i;  // float data reads back bit for bit
        ASSERT_EQ(right[i], clean[2 * i + 1]) << i;
    }

    float state = 0.0f;
    std::array<float, kAnalysisBlockFrames> filtered{};
    AnalysisHighPass(state, left, filtered);
    for (float v : filtered)
        ASSERT_TRUE(std::isfinite(v));
    EXPECT_TRUE(std::isfinite(state));
}

TEST(SoundReader, MonoAndFourChannelFilesAreReadableSoTheRunCanRefuseThem) {
    TempFolder folder;
    const std::vector<float> mono = test::DistinctTones(1, 2000, 44100);
    const std::vector<float> quad = test::DistinctTones(4, 2000, 44100);
    test::WriteSoundFile(folder / "mono.wav", Wav16(44100, 1), mono);
    test::WriteSoundFile(folder / "quad.aiff",
                         SoundFormat::Make(HeaderType::Aiff, SampleEncoding::Pcm16, 44100, 4),
                         quad);

    std::vector<float> left(2000), right(2000);
    auto one = SoundReader::Open(folder / "mono.wav");
    ASSERT_TRUE(one);
    EXPECT_EQ(one->Format().channels, 1);
    EXPECT_EQ(one->Format().frames, 2000);
    ASSERT_EQ(one->Read(left, right, 2000), 2000);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_NEAR(left[i], mono[i], 1.0 / 32768);
        ASSERT_EQ(right[i], 0.0f);
    }

    auto four = SoundReader::Open(folder / "quad.aiff");
    ASSERT_TRUE(four);
    EXPECT_EQ(four->Format().channels, 4);
    ASSERT_EQ(four->Read(left, right, 2000), 2000);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_NEAR(left[i], quad[4 * i], 1.0 / 32768);
        ASSERT_NEAR(right[i], quad[4 * i + 1], 1.0 / 32768);
    }
}

// A sparse headerless file of 8 GiB holds 2^31 frames, one more than a
// signed 32-bit count can hold. Nothing is written but its length.
TEST(SoundReader, FrameCountsAreSixtyFourBit) {
    TempFolder folder;
    const auto path = folder / "long.raw";
    const std::int64_t frames = std::int64_t{1} << 31;
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(fd, 0);
        const bool sized = ::ftruncate(fd, frames * 4) == 0;
        ::close(fd);
        if (!sized) GTEST_SKIP() << "the temporary folder cannot hold a sparse 8 GiB file";
    }
    auto reader = SoundReader::Open(path);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->Format().frames, frames);
    std::vector<float> left(883), right(883);
    EXPECT_EQ(reader->Read(left, right, 883), 883);
}

TEST(SoundReader, InMemoryOpenReadsLikeTheFile) {
    TempFolder folder;
    const std::vector<float> signal = test::DistinctTones(2, 3000, 48000);
    test::WriteSoundFile(folder / "a.flac",
                         SoundFormat::Make(HeaderType::Flac, SampleEncoding::Pcm16, 48000, 2),
                         signal, "note");
    const std::vector<unsigned char> bytes = test::ReadBytes(folder / "a.flac");

    auto fromFile = SoundReader::Open(folder / "a.flac");
    auto fromMemory = SoundReader::OpenMemory(std::as_bytes(std::span(bytes)));
    ASSERT_TRUE(fromFile);
    ASSERT_TRUE(fromMemory);
    EXPECT_EQ(fromMemory->Format().code, fromFile->Format().code);
    EXPECT_EQ(fromMemory->Format().frames, 3000);
    EXPECT_EQ(fromMemory->Format().sampleRate, 48000);
    EXPECT_EQ(fromMemory->Comment(), "note");

    std::vector<float> l1(3100), r1(3100), l2(3100), r2(3100);
    ASSERT_EQ(fromFile->Read(l1, r1, 3100), 3100);
    ASSERT_EQ(fromMemory->Read(l2, r2, 3100), 3100);
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(r1, r2);
    ASSERT_TRUE(fromMemory->Rewind());
    ASSERT_EQ(fromMemory->Read(l2, r2, 3100), 3100);
    EXPECT_EQ(l1, l2);

    const std::string junk = "not a sound file at all";
    auto raw = SoundReader::OpenMemory(std::as_bytes(std::span(junk)));
    ASSERT_TRUE(raw);
    EXPECT_TRUE(raw->Format().headerless);
    EXPECT_EQ(raw->Format().frames, static_cast<std::int64_t>(junk.size() / 4));
}

}  // namespace
}  // namespace sonorel
