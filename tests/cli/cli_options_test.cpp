#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace sonorel {
namespace {

ParsedCommandLine Parse(std::initializer_list<std::string> args) {
    const std::vector<std::string> list(args);
    return ParseCommandLine(list);
}

TEST(CliOptions, WithoutSettingOptionsEverySettingHasItsMainWindowDefault) {
    const ParsedCommandLine parsed = Parse({"-o", "out", "a.wav"});
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    const CliOptions& o = parsed.options;
    for (const SliderRange& r : kSliderRanges) {
        EXPECT_EQ(o.settings.Get(r.slider), r.defaultValue) << r.option;
    }
    EXPECT_EQ(o.settings.channel_function, ChannelFunction::MonoEnhancer);
    EXPECT_FALSE(o.settings.anti_phase);
    EXPECT_FALSE(o.settings.keep_original_level);
    EXPECT_EQ(o.action, CliAction::Restore);
    EXPECT_FALSE(o.jobs.has_value());
    EXPECT_FALSE(o.quiet);
    EXPECT_EQ(o.outputFolder, "out");
    EXPECT_EQ(o.inputs, std::vector<std::string>{"a.wav"});
}

// The range table is the only source of the limits: both ends are accepted,
// one step beyond either end is refused with a message naming the option,
// the control and the range.
TEST(CliOptions, EverySliderOptionTakesExactlyItsRange) {
    for (const SliderRange& r : kSliderRanges) {
        const std::string option = "--" + std::string(r.option);
        const std::string range = std::to_string(r.minimum) + " to " + std::to_string(r.maximum);
        for (const int inside : {r.minimum, r.maximum}) {
            const ParsedCommandLine parsed =
                Parse({option, std::to_string(inside), "-o", "out", "a.wav"});
            ASSERT_TRUE(parsed.Ok()) << option << " " << inside << ": " << parsed.error;
            EXPECT_EQ(parsed.options.settings.Get(r.slider), inside) << option;
        }
        for (const int outside : {r.minimum - 1, r.maximum + 1}) {
            const ParsedCommandLine parsed =
                Parse({option, std::to_string(outside), "-o", "out", "a.wav"});
            ASSERT_FALSE(parsed.Ok()) << option << " " << outside;
            EXPECT_NE(parsed.error.find(option), std::string::npos) << parsed.error;
            EXPECT_NE(parsed.error.find(range), std::string::npos) << parsed.error;
            EXPECT_NE(parsed.error.find(std::string(r.group)), std::string::npos) << parsed.error;
        }
    }
}

TEST(CliOptions, RefusesTheExamplesOfBadValuesWithTheirRange) {
    struct Case {
        std::vector<std::string> args;
        const char* mustMention;
    };
    const std::vector<Case> cases{
        {{"--click", "11", "-o", "o", "a.wav"}, "0 to 10"},
        {{"--gain", "abc", "-o", "o", "a.wav"}, "-12 to 12"},
        {{"--rumble", "5", "-o", "o", "a.wav"}, "10 to 120"},
        {{"--hiss", "18.5", "-o", "o", "a.wav"}, "4 to 24"},
        {{"--bass=", "-o", "o", "a.wav"}, "-18 to 18"},
        {{"--treble", "", "-o", "o", "a.wav"}, "-18 to 18"},
        {{"--noise", "99999999999999999999", "-o", "o", "a.wav"}, "0 to 10"},
        {{"--function", "x", "-o", "o", "a.wav"}, "mono"},
        {{"--jobs", "0", "-o", "o", "a.wav"}, "1 to 256"},
        {{"-j", "many", "-o", "o", "a.wav"}, "1 to 256"},
        {{"--threads-per-file", "0", "-o", "o", "a.wav"}, "1 to 256"},
        {{"-o", "o", "a.wav", "--distortion"}, "0 to 10"},
        {{"a.wav", "-o"}, "-o"},
        {{"--frobnicate", "-o", "o", "a.wav"}, "--frobnicate"},
        {{"-x", "-o", "o", "a.wav"}, "-x"},
        {{"--anti-phase=yes", "-o", "o", "a.wav"}, "--anti-phase"},
        {{"-o", "", "a.wav"}, "-o"},
        {{"-o", "out"}, "no input"},
        {{"a.wav"}, "-o FOLDER"},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = ParseCommandLine(c.args);
        ASSERT_FALSE(parsed.Ok()) << c.args.front();
        EXPECT_NE(parsed.error.find(c.mustMention), std::string::npos)
            << "expected \"" << c.mustMention << "\" in: " << parsed.error;
    }
}

TEST(CliOptions, ValuesMayFollowAsTheNextArgumentOrAfterAnEqualsSign) {
    const ParsedCommandLine parsed =
        Parse({"--click=7", "--gain", "-6", "--bass=+3", "--treble", "-18", "--function=VOCAL",
               "--output=out", "--jobs=3", "--threads-per-file=2", "in.wav"});
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    const RestorationSettings& s = parsed.options.settings;
    EXPECT_EQ(s.click_level, 7);
    EXPECT_EQ(s.output_gain_db, -6);  // a negative value is not taken for an option
    EXPECT_EQ(s.bass_lift_db, 3);
    EXPECT_EQ(s.treble_lift_db, -18);
    EXPECT_EQ(s.channel_function, ChannelFunction::VocalRemover);
    EXPECT_EQ(parsed.options.outputFolder, "out");
    EXPECT_EQ(parsed.options.jobs, 3);
    EXPECT_EQ(parsed.options.threadsPerFile, 2);
}

TEST(CliOptions, ThreadsPerFileShareTheCoresAmongTheFilesRunningAtOnce) {
    struct Case {
        int cores;
        int jobs;
        std::size_t files;
        int threads;
    };
    for (const Case& c : std::vector<Case>{{1, 1, 1, 1},
                                           {2, 2, 1, 2},  // one file: both cores
                                           {2, 2, 4, 1},
                                           {2, 1, 4, 2},
                                           {8, 3, 10, 2},
                                           {2, 4, 4, 1}}) {  // more jobs than cores: at least 1
        EXPECT_EQ(ThreadsPerFile(c.cores, c.jobs, c.files), c.threads)
            << c.cores << " cores, " << c.jobs << " jobs, " << c.files << " files";
    }
}

TEST(CliOptions, ShortOptionsTakeAttachedOrSeparateValues) {
    const ParsedCommandLine parsed = Parse({"-oout", "-j2", "-q", "a.wav", "b.wav"});
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    EXPECT_EQ(parsed.options.outputFolder, "out");
    EXPECT_EQ(parsed.options.jobs, 2);
    EXPECT_TRUE(parsed.options.quiet);
    EXPECT_EQ(parsed.options.inputs, (std::vector<std::string>{"a.wav", "b.wav"}));
}

TEST(CliOptions, LaterOptionsOverrideEarlierOnes) {
    const ParsedCommandLine parsed =
        Parse({"--anti-phase", "--keep-level", "--click", "2", "--no-anti-phase", "--click", "9",
               "--function", "vocal", "--function", "mono", "-o", "a", "-o", "b", "x.wav"});
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    EXPECT_FALSE(parsed.options.settings.anti_phase);
    EXPECT_TRUE(parsed.options.settings.keep_original_level);
    EXPECT_EQ(parsed.options.settings.click_level, 9);
    EXPECT_EQ(parsed.options.settings.channel_function, ChannelFunction::MonoEnhancer);
    EXPECT_EQ(parsed.options.outputFolder, "b");
}

TEST(CliOptions, DoubleDashMakesTheRestInputsEvenWithLeadingDashes) {
    const ParsedCommandLine parsed = Parse({"-o", "out", "--", "--click", "-q", "a.wav"});
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    EXPECT_EQ(parsed.options.inputs, (std::vector<std::string>{"--click", "-q", "a.wav"}));
    EXPECT_EQ(parsed.options.settings.click_level, 5);
    EXPECT_FALSE(parsed.options.quiet);
}

TEST(CliOptions, PreviewNeedsNoOutputFolderButStillNeedsInputs) {
    const ParsedCommandLine parsed = Parse({"--preview", "--preview-time", "10", "a.wav"});
    ASSERT_TRUE(parsed.Ok()) << parsed.error;
    EXPECT_EQ(parsed.options.action, CliAction::Preview);
    EXPECT_EQ(parsed.options.settings.preview_seconds, 10);
    EXPECT_FALSE(Parse({"--preview"}).Ok());
}

TEST(CliOptions, HelpVersionAndListNeedNothingElse) {
    EXPECT_EQ(Parse({"--help"}).options.action, CliAction::Help);
    EXPECT_EQ(Parse({"-h"}).options.action, CliAction::Help);
    EXPECT_EQ(Parse({"--version"}).options.action, CliAction::Version);
    EXPECT_EQ(Parse({"-V"}).options.action, CliAction::Version);
    EXPECT_EQ(Parse({"--list-categories"}).options.action, CliAction::ListCategories);
    // Asked for after other options, help still wins over what is missing.
    const ParsedCommandLine parsed = Parse({"--click", "3", "--help"});
    EXPECT_TRUE(parsed.Ok()) << parsed.error;
    EXPECT_EQ(parsed.options.action, CliAction::Help);
}

}  // namespace
}  // namespace sonorel
