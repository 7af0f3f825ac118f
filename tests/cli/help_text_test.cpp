#include "cli/help_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "settings/presets.h"
#include "settings/restoration_settings.h"

namespace sonorel {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The help must be enough to use the tool: every option, with its range and
// default where it has them, the naming rule and the exit statuses.
TEST(HelpText, NamesEveryOptionWithItsRangeAndDefault) {
    const std::string help = HelpText(2);
    for (const SliderRange& r : kSliderRanges) {
        const std::string option = "--" + std::string(r.option) + " N";
        const std::size_t at = help.find(option);
        ASSERT_NE(at, std::string::npos) << option;
        const std::string entry = help.substr(at, help.find("\n  --", at + 1) - at);
        EXPECT_TRUE(Contains(entry, std::string(r.group))) << entry;
        EXPECT_TRUE(Contains(entry, std::to_string(r.minimum) + " to " + std::to_string(r.maximum)))
            << entry;
        EXPECT_TRUE(Contains(entry, "default " + std::to_string(r.defaultValue))) << entry;
    }
    for (const char* option :
         {"--function mono|vocal", "--anti-phase", "--no-anti-phase", "--keep-level",
          "--no-keep-level", "--wizard CATEGORY,EQ,HISS,CLICKS,WEAR", "--list-categories",
          "-j, --jobs N", "--threads-per-file N", "--preview", "-q, --quiet", "-h, --help",
          "-V, --version", "-o, --output FOLDER", "--report FILE", "--picture FOLDER", "--align",
          "--keep-metadata"}) {
        EXPECT_TRUE(Contains(help, option)) << option;
    }
    EXPECT_TRUE(Contains(help, "cores (2 here)"));
    EXPECT_TRUE(Contains(help, "side1-1.wav, side1-2.wav"));
    EXPECT_TRUE(Contains(help, "never overwritten"));
    EXPECT_TRUE(Contains(help, "must exist"));
    for (const char* status :
         {"  0  every file", "  1  at least one file", "  2  the command line"}) {
        EXPECT_TRUE(Contains(help, status)) << status;
    }
    for (const char* message :
         {"Input file should be (but is not) stereo",
          "Input file could not be opened or is too short", "Output file could not be opened",
          "Output file is incomplete", "Problem playing preview", "Preview cancelled"}) {
        EXPECT_TRUE(Contains(help, message)) << message;
    }
    for (const auto* choices : {&kPlaybackChoices, &kHissChoices, &kClicksChoices, &kWearChoices}) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(Contains(help, std::to_string(i) + " " + std::string((*choices)[i])))
                << (*choices)[i];
        }
    }
}

TEST(HelpText, VersionNamesTheToolTheProductVersionAndTheLicence) {
    EXPECT_EQ(VersionText().substr(0, VersionText().find('\n') + 1), "sonorel-cli (Sonorel 4.2)\n");
    EXPECT_TRUE(Contains(VersionText(), "GNU GPL version 3 or later"));
}

TEST(HelpText, CategoryListHasTheTwentyFourCategoriesWithTheirIndices) {
    std::istringstream lines(CategoryListText());
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ASSERT_LT(count, kPresetCount);
        const std::string index = std::to_string(count);
        const std::string expected = std::string(index.size() < 2 ? " " : "") + index + "  " +
                                     std::string(PresetTable[count].category);
        EXPECT_EQ(line, expected);
        ++count;
    }
    EXPECT_EQ(count, kPresetCount);
    EXPECT_TRUE(Contains(CategoryListText(), " 0  Acoustic / Flat\n"));
    EXPECT_TRUE(Contains(CategoryListText(), "23  RIAA / CCIR 33 / 45 rpm\n"));
}

// The manual page is written by hand; it must not lose an option or a range.
TEST(HelpText, ManualPageDocumentsEveryOptionAndRange) {
    const std::string page =
        ReadFile(std::filesystem::path(SONOREL_SOURCE_DIR) / "docs/sonorel-cli.1");
    ASSERT_FALSE(page.empty());
    for (const SliderRange& r : kSliderRanges) {
        std::string option = "\\-\\-";
        for (const char c : r.option)
            option += (c == '-') ? std::string("\\-") : std::string(1, c);
        const std::size_t at = page.find(option);
        ASSERT_NE(at, std::string::npos) << option;
        const std::string entry = page.substr(at, page.find(".TP", at) - at);
        auto roffNumber = [](int n) {
            return n < 0 ? "\\-" + std::to_string(-n) : std::to_string(n);
        };
        EXPECT_TRUE(Contains(entry, roffNumber(r.minimum) + " to " + roffNumber(r.maximum)))
            << entry;
        EXPECT_TRUE(Contains(entry, "default " + roffNumber(r.defaultValue))) << entry;
    }
    for (const char* option :
         {"\\-\\-function", "\\-\\-anti\\-phase", "\\-\\-keep\\-level", "\\-\\-wizard",
          "\\-\\-list\\-categories", "\\-\\-jobs", "\\-\\-threads\\-per\\-file", "\\-\\-preview",
          "\\-\\-quiet", "\\-\\-help", "\\-\\-version", "\\-\\-output", "\\-\\-no\\-anti\\-phase",
          "\\-\\-no\\-keep\\-level", "\\-\\-report", "\\-\\-picture", "\\-\\-align",
          "\\-\\-keep\\-metadata"}) {
        EXPECT_TRUE(Contains(page, option)) << option;
    }
}

}  // namespace
}  // namespace sonorel
