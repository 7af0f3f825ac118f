// Every supported kind of file in and out through real files: the input is
// read as written, and its mono output keeps the header type, data format,
// byte order and sample rate, with the comment where the format keeps one.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/product.h"
#include "soundfile/sound_file.h"
#include "support/files.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

using test::TempFolder;

constexpr std::int64_t kInputFrames = 10000;
constexpr int kBlock = 883;

struct FormatCase {
    const char* name;
    HeaderType header;
    SampleEncoding encoding;
    ByteOrder order;
    int sampleRate;
    // Largest difference between a sample written as float and read back:
    // one quantisation step of the data format (rounding, plus the library's
    // scaling by 2^(b-1) - 1 on writing and 2^(b-1) on reading).
    double tolerance;
    const char* extension;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

const std::array<FormatCase, 14> kCases{{
    {"Wav16", HeaderType::Wav, SampleEncoding::Pcm16, ByteOrder::Default, 44100, 1.0 / 32768,
     ".wav"},
    {"Wav24", HeaderType::Wav, SampleEncoding::Pcm24, ByteOrder::Default, 48000, 1.0 / 8388608,
     ".wav"},
    {"WavFloat", HeaderType::Wav, SampleEncoding::Float32, ByteOrder::Default, 96000, 0.0, ".wav"},
    {"WavU8", HeaderType::Wav, SampleEncoding::PcmU8, ByteOrder::Default, 22050, 1.0 / 128, ".wav"},
    {"Rifx16", HeaderType::Wav, SampleEncoding::Pcm16, ByteOrder::Big, 44100, 1.0 / 32768, ".wav"},
    {"WavEx24", HeaderType::WavEx, SampleEncoding::Pcm24, ByteOrder::Default, 44100, 1.0 / 8388608,
     ".wav"},
    {"Aiff16", HeaderType::Aiff, SampleEncoding::Pcm16, ByteOrder::Default, 44100, 1.0 / 32768,
     ".aiff"},
    {"Aiff24", HeaderType::Aiff, SampleEncoding::Pcm24, ByteOrder::Default, 32000, 1.0 / 8388608,
     ".aif"},
    {"Au16", HeaderType::Au, SampleEncoding::Pcm16, ByteOrder::Default, 44100, 1.0 / 32768, ".au"},
    // mu-law: logarithmic steps, 1/32 of full scale in the top segment.
    {"AuUlaw", HeaderType::Au, SampleEncoding::Ulaw, ByteOrder::Default, 8000, 1.0 / 32, ".au"},
    {"Flac16", HeaderType::Flac, SampleEncoding::Pcm16, ByteOrder::Default, 44100, 1.0 / 32768,
     ".flac"},
    {"Flac24", HeaderType::Flac, SampleEncoding::Pcm24, ByteOrder::Default, 88200, 1.0 / 8388608,
     ".flac"},
    {"W64Pcm32", HeaderType::W64, SampleEncoding::Pcm32, ByteOrder::Default, 44100, 1e-7, ".w64"},
    {"CafFloat", HeaderType::Caf, SampleEncoding::Float32, ByteOrder::Default, 44100, 0.0, ".caf"},
}};

class FormatRoundTrip : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatRoundTrip, InputReadsAsWrittenAndOutputKeepsItsFormat) {
    const FormatCase& c = GetParam();
    TempFolder folder;
    const auto inputPath = folder / (std::string("input") + c.extension);
    const std::vector<float> signal = test::DistinctTones(2, kInputFrames, c.sampleRate);
    test::WriteSoundFile(inputPath,
                         SoundFormat::Make(c.header, c.encoding, c.sampleRate, 2, c.order), signal);

    auto reader = SoundReader::Open(inputPath);
    ASSERT_TRUE(reader);
    const SoundFormat& in = reader->Format();
    EXPECT_EQ(in.Header(), c.header);
    EXPECT_EQ(in.Encoding(), c.encoding);
    EXPECT_EQ(in.Order(), c.order);
    EXPECT_EQ(in.sampleRate, c.sampleRate);
    EXPECT_EQ(in.channels, 2);
    EXPECT_EQ(in.frames, kInputFrames);
    EXPECT_FALSE(in.headerless);

    // Read as the per-file run does, in blocks of 883 past the end, and pass
    // the left channel on to a mono output.
    CreateStatus status{};
    auto writer = SoundWriter::Create(folder / (std::string("output") + c.extension), in,
                                      kOutputComment, status);
    ASSERT_EQ(status, CreateStatus::Created);
    ASSERT_TRUE(writer);
    std::vector<float> left(kBlock), right(kBlock), written;
    const std::int64_t blocks = (kInputFrames + kBlock - 1) / kBlock;
    for (std::int64_t b = 0; b < blocks; ++b) {
        ASSERT_EQ(reader->Read(left, right, kBlock), kBlock);
        for (int i = 0; i < kBlock; ++i) {
            const std::int64_t frame = b * kBlock + i;
            const float wantL = frame < kInputFrames ? signal[2 * frame] : 0.0f;
            const float wantR = frame < kInputFrames ? signal[2 * frame + 1] : 0.0f;
            ASSERT_NEAR(left[i], wantL, c.tolerance) << "frame " << frame;
            ASSERT_NEAR(right[i], wantR, c.tolerance) << "frame " << frame;
        }
        ASSERT_TRUE(writer->Write(left));
        written.insert(written.end(), left.begin(), left.end());
    }
    EXPECT_EQ(writer->FramesWritten(), blocks * kBlock);
    ASSERT_TRUE(writer->Close());

    auto output = SoundReader::Open(folder / (std::string("output") + c.extension));
    ASSERT_TRUE(output);
    const SoundFormat& out = output->Format();
    EXPECT_EQ(out.code, in.code);  // header type, data format and byte order unchanged
    EXPECT_EQ(out.sampleRate, c.sampleRate);
    EXPECT_EQ(out.channels, 1);
    EXPECT_EQ(out.frames, blocks * kBlock);
    EXPECT_EQ(output->Comment(), out.CanStoreComment() ? kOutputComment : "");
    std::vector<float> back(written.size()), unused(written.size());
    ASSERT_EQ(output->Read(back, unused, static_cast<std::int64_t>(back.size())),
              static_cast<std::int64_t>(back.size()));
    for (std::size_t i = 0; i < back.size(); ++i) {
        ASSERT_NEAR(back[i], written[i], c.tolerance) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(SoundFile, FormatRoundTrip, ::testing::ValuesIn(kCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

// A headerless input is stereo big-endian 16-bit at 44100 Hz; its output is
// headerless mono big-endian 16-bit, nothing but the samples.
TEST(SoundFileFormats, HeaderlessInputGivesHeaderlessMonoOutput) {
    TempFolder folder;
    const auto inputPath = folder / "transfer.pcm";
    const std::vector<float> signal = test::DistinctTones(2, kInputFrames, 44100);
    test::WriteSoundFile(
        inputPath,
        SoundFormat::Make(HeaderType::Raw, SampleEncoding::Pcm16, 44100, 2, ByteOrder::Big),
        signal);
    ASSERT_EQ(std::filesystem::file_size(inputPath), kInputFrames * 2 * 2);

    auto reader = SoundReader::Open(inputPath);
    ASSERT_TRUE(reader);
    const SoundFormat& in = reader->Format();
    EXPECT_TRUE(in.headerless);
    EXPECT_EQ(in.Header(), HeaderType::Raw);
    EXPECT_EQ(in.Encoding(), SampleEncoding::Pcm16);
    EXPECT_EQ(in.Order(), ByteOrder::Big);
    EXPECT_EQ(in.sampleRate, kRawSampleRate);
    EXPECT_EQ(in.channels, kRawChannels);
    EXPECT_EQ(in.frames, kInputFrames);

    std::vector<float> left(kBlock), right(kBlock);
    ASSERT_EQ(reader->Read(left, right, kBlock), kBlock);
    for (int i = 0; i < kBlock; ++i)
        ASSERT_NEAR(left[i], signal[2 * i], 1.0 / 32768);

    CreateStatus status{};
    const auto outputPath = folder / "transfer-out.pcm";
    auto writer = SoundWriter::Create(outputPath, in, kOutputComment, status);
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->Write(left));
    ASSERT_TRUE(writer->Close());

    // No header, no comment: exactly 883 big-endian 16-bit samples.
    const std::vector<unsigned char> bytes = test::ReadBytes(outputPath);
    ASSERT_EQ(bytes.size(), 2u * kBlock);
    for (int i = 0; i < kBlock; ++i) {
        const auto value = static_cast<std::int16_t>((bytes[2 * i] << 8) | bytes[2 * i + 1]);
        ASSERT_NEAR(value / 32768.0, left[i], 1.0 / 32768) << "sample " << i;
    }
}

}  // namespace
}  // namespace sonorel
