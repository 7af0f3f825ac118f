#include "cli/wizard_option.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "cli/cli_options.h"
#include "settings/presets.h"

namespace sonorel {
namespace {

WizardAnswers Answers(std::string_view text) {
    auto parsed = ParseWizardAnswers(text);
    if (auto* error = std::get_if<std::string>(&parsed)) {
        ADD_FAILURE() << text << ": " << *error;
        return {};
    }
    return std::get<WizardAnswers>(parsed);
}

std::string Refusal(std::string_view text) {
    auto parsed = ParseWizardAnswers(text);
    if (auto* error = std::get_if<std::string>(&parsed)) return *error;
    ADD_FAILURE() << text << " was accepted";
    return {};
}

void ExpectAnswers(const WizardAnswers& a, int category, int eq, int hiss, int clicks, int wear) {
    EXPECT_EQ(a.category, category);
    EXPECT_EQ(a.playback, eq);
    EXPECT_EQ(a.hissiness, hiss);
    EXPECT_EQ(a.scratchiness, clicks);
    EXPECT_EQ(a.roughness, wear);
}

TEST(WizardOption, TakesZeroBasedIndices) {
    ExpectAnswers(Answers("0,0,0,0,0"), 0, 0, 0, 0, 0);
    ExpectAnswers(Answers("23,2,2,2,2"), 23, 2, 2, 2, 2);
    ExpectAnswers(Answers("16,2,0,1,2"), 16, 2, 0, 1, 2);
}

TEST(WizardOption, TakesChoiceTextsInAnyLetterCaseAndAroundSpaces) {
    ExpectAnswers(Answers("Victor pre-1936,Matched to recording,Good as new,Just a few big ones,"
                          "Hardly used"),
                  16, 2, 0, 0, 0);
    ExpectAnswers(Answers("acoustic / flat (VERTICAL CUT), flat , SERIOUSLY HISSY,clicks "
                          "throughout,all worn out"),
                  1, 0, 2, 2, 2);
    // Texts and indices mix.
    ExpectAnswers(Answers("NARTB 33 / 45 rpm,riaa / ccir,1,0,1"), 22, 1, 1, 0, 1);
}

TEST(WizardOption, AcceptsTheChoiceTextThatHasACommaOfItsOwn) {
    ExpectAnswers(Answers("NARTB 33 / 45 rpm,RIAA / CCIR,1,Some big, some small,2"), 22, 1, 1, 1,
                  2);
    ExpectAnswers(Answers("2,2,2,SOME BIG, SOME SMALL,0"), 2, 2, 2, 1, 0);
}

TEST(WizardOption, RefusesWrongArityWithTheExpectedForm) {
    for (const char* text : {"", "1", "1,1,1,1", "1,1,1,1,1,1", "1,,1,1,1,1"}) {
        const std::string error = Refusal(text);
        EXPECT_NE(error.find("five answers"), std::string::npos) << error;
        EXPECT_NE(error.find("CATEGORY,EQ,HISS,CLICKS,WEAR"), std::string::npos) << error;
    }
}

TEST(WizardOption, RefusesAnswersOutOfRangeNamingTheQuestionAndItsChoices) {
    const std::string category = Refusal("24,1,1,1,1");
    EXPECT_NE(category.find("CATEGORY \"24\""), std::string::npos) << category;
    EXPECT_NE(category.find("0 to 23"), std::string::npos) << category;
    EXPECT_NE(category.find("--list-categories"), std::string::npos) << category;
    EXPECT_NE(Refusal("Victor,1,1,1,1").find("CATEGORY"), std::string::npos);
    EXPECT_NE(Refusal("-1,1,1,1,1").find("CATEGORY"), std::string::npos);

    const std::string eq = Refusal("3,3,1,1,1");
    EXPECT_NE(eq.find("EQ"), std::string::npos) << eq;
    EXPECT_NE(eq.find("0 \"Flat\", 1 \"RIAA / CCIR\", 2 \"Matched to recording\""),
              std::string::npos)
        << eq;
    EXPECT_NE(Refusal("3,1,hissy,1,1").find("HISS"), std::string::npos);
    EXPECT_NE(Refusal("3,1,1,-1,1").find("CLICKS"), std::string::npos);
    EXPECT_NE(Refusal("3,1,1,1,worn").find("WEAR"), std::string::npos);
}

TEST(WizardOption, SetsTheNineValuesTheDialogWould) {
    const std::vector<std::string> args{"--wizard", "1,0,2,2,2", "-o", "out", "a.wav"};
    const ParsedCommandLine parsed = ParseCommandLine(args);
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    RestorationSettings expected;
    ApplyPreset(WizardAnswers{1, 0, 2, 2, 2}, expected);
    const RestorationSettings& s = parsed.options.settings;
    for (const SliderRange& r : kSliderRanges)
        EXPECT_EQ(s.Get(r.slider), expected.Get(r.slider));
    EXPECT_TRUE(s.anti_phase);  // the vertical-cut category
    // The documented example: "Acoustic / Flat (vertical cut)", Flat, all answers 2.
    EXPECT_EQ(s.click_level, 7);
    EXPECT_EQ(s.hiss_khz, 4);
    EXPECT_EQ(s.rumble_hz, 80);
}

TEST(WizardOption, OptionsTakeEffectInCommandLineOrder) {
    // After the wizard: the explicit value wins.
    const std::vector<std::string> after{"--wizard",        "1,0,2,2,2", "--hiss", "12",
                                         "--no-anti-phase", "-o",        "out",    "a.wav"};
    const ParsedCommandLine a = ParseCommandLine(after);
    ASSERT_TRUE(a.Ok()) << a.error;
    EXPECT_EQ(a.options.settings.hiss_khz, 12);
    EXPECT_FALSE(a.options.settings.anti_phase);
    EXPECT_EQ(a.options.settings.click_level, 7);

    // Before the wizard: the wizard's value wins, but what it never sets stays.
    const std::vector<std::string> before{
        "--hiss",       "12",       "--preview-time", "33", "--function", "vocal",
        "--keep-level", "--wizard", "1,0,2,2,2",      "-o", "out",        "a.wav"};
    const ParsedCommandLine b = ParseCommandLine(before);
    ASSERT_TRUE(b.Ok()) << b.error;
    EXPECT_EQ(b.options.settings.hiss_khz, 4);
    EXPECT_EQ(b.options.settings.preview_seconds, 33);
    EXPECT_EQ(b.options.settings.channel_function, ChannelFunction::VocalRemover);
    EXPECT_TRUE(b.options.settings.keep_original_level);
}

TEST(WizardOption, ABadWizardAnswerRefusesTheWholeCommandLine) {
    const std::vector<std::string> args{"--wizard", "1,0,2,2", "-o", "out", "a.wav"};
    const ParsedCommandLine parsed = ParseCommandLine(args);
    EXPECT_FALSE(parsed.Ok());
    EXPECT_NE(parsed.error.find("--wizard"), std::string::npos) << parsed.error;
}

}  // namespace
}  // namespace sonorel
