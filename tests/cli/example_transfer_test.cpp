#include "example_transfer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "soundfile/sound_file.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

TEST(ExampleTransfer, SameSeedSameSamplesOtherSeedOtherSamples) {
    example::TransferOptions options;
    options.seconds = 0.5;
    const std::vector<float> a = example::SynthesiseTransfer(options);
    const std::vector<float> b = example::SynthesiseTransfer(options);
    options.seed = 2;
    const std::vector<float> c = example::SynthesiseTransfer(options);
    EXPECT_EQ(a.size(), 2u * 22050u);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

// The two channels share the music but not the surface: they are strongly,
// not perfectly, correlated, which is what the restoration relies on.
TEST(ExampleTransfer, ChannelsShareTheMusicButNotTheNoise) {
    example::TransferOptions options;
    options.seconds = 2.0;
    const std::vector<float> s = example::SynthesiseTransfer(options);
    double ll = 0, rr = 0, lr = 0, peak = 0;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        ll += double(s[i]) * s[i];
        rr += double(s[i + 1]) * s[i + 1];
        lr += double(s[i]) * s[i + 1];
        peak = std::max({peak, std::abs(double(s[i])), std::abs(double(s[i + 1]))});
    }
    const double correlation = lr / std::sqrt(ll * rr);
    EXPECT_GT(correlation, 0.5);
    EXPECT_LT(correlation, 0.99);
    EXPECT_LE(peak, 1.0);
    EXPECT_GT(peak, 0.1);  // audible, not a near-silent file
}

TEST(ExampleTransfer, WavFileReadsBackAsWrittenAndIsNeverReplaced) {
    test::TempFolder folder;
    const std::vector<float> samples{0.0f, 0.5f, -0.5f, -1.0f, 0.25f, 0.999f};
    std::string error;
    ASSERT_TRUE(example::WriteWav16(folder / "t.wav", 2, 44100, samples, error)) << error;
    const auto reader = SoundReader::Open(folder / "t.wav");
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->Format().channels, 2);
    EXPECT_EQ(reader->Format().sampleRate, 44100);
    EXPECT_EQ(reader->Format().frames, 3);
    std::vector<float> left(3), right(3);
    ASSERT_EQ(reader->Read(left, right, 3), 3);
    // 16-bit: each value comes back within half a step of 1/32768.
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(left[i], samples[2 * i], 0.5 / 32768) << i;
        EXPECT_NEAR(right[i], samples[2 * i + 1], 0.5 / 32768) << i;
    }

    EXPECT_FALSE(example::WriteWav16(folder / "t.wav", 1, 8000, samples, error));
    EXPECT_NE(error.find("exists already"), std::string::npos) << error;
    EXPECT_EQ(SoundReader::Open(folder / "t.wav")->Format().channels, 2);  // untouched
}

}  // namespace
}  // namespace sonorel
