#include "settings/presets.h"

#include <gtest/gtest.h>

namespace sonorel {
namespace {

WizardAnswers Answers(int category, int playback, int hiss, int clicks, int wear) {
    return WizardAnswers{category, playback, hiss, clicks, wear};
}

// The preset applied to the default settings.
RestorationSettings Preset(const WizardAnswers& answers) {
    RestorationSettings settings;
    ApplyPreset(answers, settings);
    return settings;
}

TEST(Presets, FirstUseDefaultsGiveTheDocumentedValues) {
    RestorationSettings s;
    s.preview_seconds = 33;
    s.channel_function = ChannelFunction::VocalRemover;
    s.keep_original_level = true;
    s.anti_phase = true;
    ApplyPreset(Answers(kDefaultCategory, 1, 1, 1, 1), s);
    EXPECT_EQ(s.click_level, 3);
    EXPECT_EQ(s.noise_level, 3);
    EXPECT_EQ(s.distortion_level, 4);
    EXPECT_EQ(s.bass_lift_db, -1);
    EXPECT_EQ(s.treble_lift_db, 1);
    EXPECT_EQ(s.hiss_khz, 19);
    EXPECT_EQ(s.rumble_hz, 20);
    EXPECT_EQ(s.output_gain_db, 0);
    EXPECT_FALSE(s.anti_phase);  // any category but the vertical cut turns it off
    // The wizard never touches these three.
    EXPECT_EQ(s.preview_seconds, 33);
    EXPECT_EQ(s.channel_function, ChannelFunction::VocalRemover);
    EXPECT_TRUE(s.keep_original_level);
}

TEST(Presets, VerticalCutFlatWorstCase) {
    const RestorationSettings v = Preset(Answers(1, 0, 2, 2, 2));
    EXPECT_EQ(v.click_level, 7);
    EXPECT_EQ(v.noise_level, 6);
    EXPECT_EQ(v.distortion_level, 7);
    EXPECT_EQ(v.bass_lift_db, -3);
    EXPECT_EQ(v.treble_lift_db, 3);
    EXPECT_EQ(v.hiss_khz, 4);
    EXPECT_EQ(v.rumble_hz, 80);
    EXPECT_EQ(v.output_gain_db, 0);
    EXPECT_TRUE(v.anti_phase);
}

TEST(Presets, VictorMatchedBestCase) {
    const RestorationSettings v = Preset(Answers(16, 2, 0, 0, 0));
    EXPECT_EQ(v.click_level, 3);
    EXPECT_EQ(v.noise_level, 4);
    EXPECT_EQ(v.distortion_level, 3);
    EXPECT_EQ(v.bass_lift_db, 0);
    EXPECT_EQ(v.treble_lift_db, 0);
    EXPECT_EQ(v.hiss_khz, 11);
    EXPECT_EQ(v.rumble_hz, 40);
    EXPECT_FALSE(v.anti_phase);
}

TEST(Presets, NartbWithFlatPlayback) {
    const RestorationSettings v = Preset(Answers(22, 0, 0, 0, 0));
    EXPECT_EQ(v.bass_lift_db, 15);
    EXPECT_EQ(v.treble_lift_db, -15);
}

TEST(Presets, EveryAnswerCombinationLandsInsideTheSliderRanges) {
    for (int c = 0; c < kPresetCount; ++c)
        for (int e = 0; e < 3; ++e)
            for (int h = 0; h < 3; ++h)
                for (int k = 0; k < 3; ++k)
                    for (int w = 0; w < 3; ++w) {
                        // Compare the clamped result with the raw rule: no
                        // value of the table may actually need the clamp.
                        const PresetRow& t = PresetTable[c];
                        const int s = (h + 2 * w) / 2;
                        const int bassBase = e == 0 ? t.bassDb + 13 : (e == 1 ? t.bassDb : 0);
                        const int trebleBase = e == 0 ? t.trebleDb - 13 : (e == 1 ? t.trebleDb : 0);
                        const RestorationSettings v = Preset(Answers(c, e, h, k, w));
                        SCOPED_TRACE(::testing::Message() << c << e << h << k << w);
                        EXPECT_EQ(v.click_level, t.click + 2 * k);
                        EXPECT_EQ(v.noise_level, t.noise + h);
                        EXPECT_EQ(v.distortion_level, t.distortion + 2 * w);
                        EXPECT_EQ(v.bass_lift_db, bassBase - s);
                        EXPECT_EQ(v.treble_lift_db, trebleBase + s);
                        EXPECT_EQ(v.hiss_khz, t.hissKhz + (24 - 2 * k - 4 * h - 6 * w) / 8);
                        for (const SliderRange& r : kSliderRanges) {
                            EXPECT_GE(v.Get(r.slider), r.minimum) << r.key;
                            EXPECT_LE(v.Get(r.slider), r.maximum) << r.key;
                        }
                    }
}

TEST(Presets, TableHasTheCategoriesInChoiceOrder) {
    EXPECT_EQ(PresetTable[0].category, "Acoustic / Flat");
    EXPECT_EQ(PresetTable[23].category, "RIAA / CCIR 33 / 45 rpm");
    int antiPhaseRows = 0;
    for (const PresetRow& row : PresetTable)
        antiPhaseRows += row.antiPhase ? 1 : 0;
    EXPECT_EQ(antiPhaseRows, 1);
    EXPECT_TRUE(PresetTable[1].antiPhase);
}

TEST(Presets, ChoicesAreFoundByIndexOrCaseInsensitiveText) {
    EXPECT_EQ(FindCategory("16"), 16);
    EXPECT_EQ(FindCategory("victor PRE-1936"), 16);
    EXPECT_EQ(FindCategory("Victor 1936-1947"), 17);
    EXPECT_EQ(FindCategory("24"), std::nullopt);
    EXPECT_EQ(FindCategory("-1"), std::nullopt);
    EXPECT_EQ(FindCategory(""), std::nullopt);
    EXPECT_EQ(FindCategory("Victor"), std::nullopt);
    EXPECT_EQ(FindChoice(kPlaybackChoices, "riaa / ccir"), 1);
    EXPECT_EQ(FindChoice(kWearChoices, "2"), 2);
    EXPECT_EQ(FindChoice(kWearChoices, "3"), std::nullopt);
    EXPECT_EQ(FindChoice(kHissChoices, "1x"), std::nullopt);
}

TEST(RestorationSettings, ConversionsOfTheDefaults) {
    const RunParameters p = RestorationSettings{}.Convert();
    EXPECT_EQ(p.clickAmount, 0.5f);
    EXPECT_EQ(p.noiseAmount, 0.5f);
    EXPECT_EQ(p.distortionAmount, 0.5f);
    EXPECT_EQ(p.outputGain, 1.0f);
    EXPECT_EQ(p.hissHz, 18000u);
    EXPECT_EQ(p.rumbleHz, 40u);
    EXPECT_EQ(p.previewSeconds, 20);
    EXPECT_EQ(p.channelFunction, ChannelFunction::MonoEnhancer);
}

TEST(RestorationSettings, GainAndStrengthConversions) {
    RestorationSettings s;
    s.output_gain_db = -12;
    s.click_level = 3;
    s.hiss_khz = 24;
    const RunParameters p = s.Convert();
    EXPECT_FLOAT_EQ(p.outputGain, 0.25118864f);  // 10^(-0.6)
    EXPECT_EQ(p.clickAmount, 0.3f);
    EXPECT_EQ(p.hissHz, 24000u);
}

TEST(RestorationSettings, SliderTableMatchesTheControls) {
    EXPECT_EQ(RangeOf(Slider::Rumble).minimum, 10);
    EXPECT_EQ(RangeOf(Slider::Rumble).maximum, 120);
    EXPECT_EQ(ClampToRange(Slider::Rumble, 5), 10);
    EXPECT_EQ(ClampToRange(Slider::Rumble, 500), 120);
    EXPECT_EQ(ClampToRange(Slider::Gain, -40), -12);
    RestorationSettings s;
    for (const SliderRange& r : kSliderRanges)
        EXPECT_EQ(s.Get(r.slider), r.defaultValue) << r.key;
}

}  // namespace
}  // namespace sonorel
