// Which files get the hiss low-pass, and what one file's design contains.

#include <gtest/gtest.h>

#include "filters/tone_filters.h"
#include "response.h"

namespace sonorel {
namespace {

// Highest and lowest active "Hiss Filter (kHz)" setting (4..24) at a rate.
struct ActiveRange {
    int lowKhz = 0;
    int highKhz = 0;  // 0 when none is active
};
ActiveRange ActiveSettings(unsigned sampleRate) {
    ActiveRange range;
    for (int khz = 4; khz <= 24; ++khz) {
        if (HissLowPassActive(sampleRate, 1000u * khz)) {
            if (range.lowKhz == 0) range.lowKhz = khz;
            range.highKhz = khz;
        }
    }
    return range;
}

TEST(HissActivity, RangeOfActiveSettingsPerSampleRate) {
    const struct {
        unsigned fs;
        int lowKhz, highKhz;
    } cases[] = {{44100, 4, 20}, {48000, 4, 22},  {22050, 4, 10},
                 {96000, 4, 24}, {192000, 7, 24}, {8000, 0, 0}};
    for (const auto& c : cases) {
        const ActiveRange range = ActiveSettings(c.fs);
        EXPECT_EQ(range.lowKhz, c.lowKhz) << c.fs;
        EXPECT_EQ(range.highKhz, c.highKhz) << c.fs;
    }
}

TEST(HissActivity, BothBoundsAreStrict) {
    EXPECT_TRUE(HissLowPassActive(44100, 20000));   // 640 000 < 661 500
    EXPECT_FALSE(HissLowPassActive(44100, 21000));  // 672 000 is not below 661 500
    EXPECT_FALSE(HissLowPassActive(192000, 6000));  // 32 x 6000 equals fs
    EXPECT_FALSE(HissLowPassActive(32000, 15000));  // 32 x 15000 equals 15 x fs
    EXPECT_TRUE(HissLowPassActive(32000, 14999));
    EXPECT_TRUE(HissLowPassActive(192000, 6001));
}

TEST(ToneFilters, DesignsFollowTheFileSampleRate) {
    const ToneFilters filters = DesignToneFilters(
        48000, {.rumbleHz = 60, .hissHz = 12000, .bassLiftDb = 5, .trebleLiftDb = -7});
    // Hiss -0.85 dB at the setting, rumble stopband up to the setting, both
    // at 48 kHz; the detection band-pass designed for t = 1000 / 48000; the
    // shelves for 48 kHz.
    const double fs = 48000.0;
    ASSERT_TRUE(filters.hissActive);
    EXPECT_NEAR(test::CascadeDb(filters.hissCoeffs, 12000.0, fs), -0.85, 0.005);
    EXPECT_NEAR(test::CascadeDb(filters.rumbleCoeffs, fs / 2, fs), 0.0, 1e-9);
    EXPECT_LE(test::CascadeDb(filters.rumbleCoeffs, 60.0, fs), -54.18);
    DetectCoeffs detect;
    DesignDetectionBandPass(detect, 1000.0f / 48000.0f);
    EXPECT_EQ(filters.detectCoeffs.a1, detect.a1);
    EXPECT_EQ(filters.detectCoeffs.a2, detect.a2);
    const ShelfCoeffs shelves = DesignShelves(5, -7, 48000);
    EXPECT_EQ(filters.shelves.g, shelves.g);
    EXPECT_EQ(filters.shelves.bp, shelves.bp);
    EXPECT_EQ(filters.shelves.tz, shelves.tz);

    EXPECT_FALSE(DesignToneFilters(48000, {.hissHz = 23000}).hissActive);
}

}  // namespace
}  // namespace sonorel
