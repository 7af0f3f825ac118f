// sonorel-cli for archives: the report and the pictures, through the real
// per-file run.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "pipeline/process_file.h"
#include "support/files.h"
#include "support/temp_folder.h"
#include "test_files.h"

namespace sonorel {
namespace {

using clitest::WriteMonoTransfer;
using clitest::WriteStereoTransfer;
using test::TempFolder;
namespace fs = std::filesystem;
using Json = nlohmann::json;

int RunTool(const std::vector<std::string>& args, std::string* err = nullptr) {
    std::ostringstream out, errors;
    std::atomic<bool> cancel{false};
    const CliContext context{.out = out, .err = errors, .runner = ProcessFile, .cancel = cancel};
    const int status = RunCli(args, context);
    if (err != nullptr) *err = errors.str();
    return status;
}

std::vector<Json> ReportLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<Json> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(Json::parse(line));
    return lines;
}

// The REPORT section of the man page.
std::string ManPageReportSection() {
    std::ifstream in(fs::path(SONOREL_SOURCE_DIR) / "docs/sonorel-cli.1");
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t start = page.find(".SH REPORT FILE");
    return start == std::string::npos ? ""
                                      : page.substr(start, page.find(".SH ", start + 4) - start);
}

// Every key of a line, at any depth, but the left and right of a count.
void CollectKeys(const Json& object, std::vector<std::string>& keys) {
    for (const auto& [key, value] : object.items()) {
        if (key == "left" || key == "right") continue;
        keys.push_back(key);
        if (value.is_object()) CollectKeys(value, keys);
    }
}

TEST(CliArchive, TheReportHasALineForEachFileInListOrderAndTheManPageNamesEveryField) {
    const TempFolder folder;
    WriteStereoTransfer(folder / "long.wav", 3.0, 5);
    WriteMonoTransfer(folder / "mono.wav", 1.0);
    WriteStereoTransfer(folder / "short.wav", 1.0, 6);
    fs::create_directory(folder / "out");
    const fs::path report = folder / "report.jsonl";

    std::string err;
    EXPECT_EQ(RunTool({"-q", "-j", "2", "--align", "--report", report.string(), "-o",
                       (folder / "out").string(), (folder / "long.wav").string(),
                       (folder / "mono.wav").string(), (folder / "short.wav").string()},
                      &err),
              kExitSomeFailed);
    EXPECT_EQ(err.rfind((folder / "mono.wav").string() +
                            ": Input file should be (but is not) stereo: it has 1 channel, not 2\n",
                        0),
              0u)
        << err;

    const std::vector<Json> lines = ReportLines(report);
    ASSERT_EQ(lines.size(), 3u);
    const std::vector<std::string> names{"long.wav", "mono.wav", "short.wav"};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Json& line = lines[i];
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(line["input"], (folder / names[i]).string());
        EXPECT_EQ(line["version"], "Sonorel 4.2");
        EXPECT_EQ(line["settings"]["click"], 5);
        EXPECT_EQ(line["settings"]["align"], true);
        if (names[i] == "mono.wav") {
            EXPECT_EQ(line["result"], "not-stereo");
            EXPECT_EQ(line["message"],
                      "Input file should be (but is not) stereo: it has 1 channel, not 2");
            EXPECT_EQ(line["format"]["channels"], 1);
            EXPECT_TRUE(line["output"].is_null());
            EXPECT_TRUE(line["derived"].is_null());
            continue;
        }
        EXPECT_EQ(line["result"], "ok");
        EXPECT_EQ(line["output"], (folder / "out" / names[i]).string());
        EXPECT_EQ(line["format"]["header"], "WAV (Microsoft)");
        EXPECT_EQ(line["format"]["sample_rate"], 44100);
        // Aligned: exactly the input's frames.
        EXPECT_EQ(line["counts"]["output_frames"], line["format"]["frames"]);
        EXPECT_EQ(line["derived"]["hiss_low_pass"], true);
        EXPECT_GT(line["realtime_factor"].get<double>(), 0.0);
    }

    const std::string manPage = ManPageReportSection();
    ASSERT_FALSE(manPage.empty()) << "docs/sonorel-cli.1 has no REPORT FILE section";
    std::vector<std::string> keys;
    CollectKeys(lines[0], keys);
    for (const std::string& key : keys) {
        EXPECT_NE(manPage.find("\\fB" + key + "\\fR"), std::string::npos)
            << "the man page does not describe \"" << key << "\"";
    }
}

// The enhanced method through the real program: one thread per file or two
// give the same bytes, --align gives exactly the input's frames, and the
// report's line names the method and figures the man page describes.
TEST(CliArchive, EnhancedMethodIsTheSameWithAnyThreadCountAndReportsItsFigures) {
    const TempFolder folder;
    WriteStereoTransfer(folder / "side.wav", 3.0, 7);
    const fs::path report = folder / "report.jsonl";
    for (const char* threads : {"1", "2"}) {
        fs::create_directory(folder / threads);
        EXPECT_EQ(RunTool({"-q", "--method", "enhanced", "--align", "--threads-per-file", threads,
                           "--report", report.string(), "-o", (folder / threads).string(),
                           (folder / "side.wav").string()}),
                  0);
    }
    const std::vector<unsigned char> one = test::ReadBytes(folder / "1" / "side.wav");
    EXPECT_FALSE(one.empty());
    EXPECT_TRUE(test::ReadBytes(folder / "2" / "side.wav") == one);

    const std::vector<Json> lines = ReportLines(report);
    ASSERT_EQ(lines.size(), 2u);
    const Json& line = lines[0];
    EXPECT_EQ(line["settings"]["method"], "enhanced");
    EXPECT_EQ(line["counts"]["output_frames"], line["format"]["frames"]);
    EXPECT_NEAR(line["derived"]["enhanced"]["suppression_db"].get<double>(), 12.0, 1e-9);
    // 3 s hold 15 whole segments of 186 ms in the analysed blocks.
    EXPECT_EQ(line["derived"]["enhanced"]["quiet_segments"], 15);
    const std::string manPage = ManPageReportSection();
    std::vector<std::string> keys;
    CollectKeys(line, keys);
    for (const std::string& key : keys) {
        EXPECT_NE(manPage.find("\\fB" + key + "\\fR"), std::string::npos)
            << "the man page does not describe \"" << key << "\"";
    }
}

// Width and height from a PNG's header chunk.
std::pair<int, int> PngSize(const fs::path& path) {
    const std::vector<unsigned char> bytes = test::ReadBytes(path);
    if (bytes.size() < 24 || bytes[1] != 'P' || bytes[2] != 'N' || bytes[3] != 'G') return {0, 0};
    const auto at = [&bytes](std::size_t i) {
        return bytes[i] << 24 | bytes[i + 1] << 16 | bytes[i + 2] << 8 | bytes[i + 3];
    };
    return {at(16), at(20)};
}

TEST(CliArchive, PicturesAreNewFilesNamedAfterTheirOutputsOfOneWidth) {
    const TempFolder folder;
    WriteStereoTransfer(folder / "side.wav", 1.0, 5);
    WriteStereoTransfer(folder / "long.wav", 4.0, 6);
    fs::create_directory(folder / "out");
    fs::create_directory(folder / "pictures");
    const fs::path report = folder / "report.jsonl";
    const std::vector<std::string> args{"-q",
                                        "--picture",
                                        (folder / "pictures").string(),
                                        "--report",
                                        report.string(),
                                        "-o",
                                        (folder / "out").string(),
                                        (folder / "side.wav").string(),
                                        (folder / "long.wav").string()};

    EXPECT_EQ(RunTool(args), kExitAllDone);
    EXPECT_EQ(RunTool(args), kExitAllDone);  // never over the first run's pictures

    EXPECT_EQ(test::FileNamesIn(folder / "pictures"),
              (std::vector<std::string>{"long-1.png", "long.png", "side-1.png", "side.png"}));
    const std::pair<int, int> size = PngSize(folder / "pictures" / "side.png");
    EXPECT_EQ(size.first, 1600);
    EXPECT_GT(size.second, 600);
    EXPECT_EQ(PngSize(folder / "pictures" / "long-1.png"), size);
    const std::vector<Json> lines = ReportLines(report);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3]["picture"], (folder / "pictures" / "long-1.png").string());
    EXPECT_EQ(lines[3]["output"], (folder / "out" / "long-1.wav").string());
}

}  // namespace
}  // namespace sonorel
