// sonorel-cli end to end: real files through the real per-file run.

#include "cli/cli_app.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "pipeline/process_file.h"
#include "soundfile/sound_file.h"
#include "support/files.h"
#include "support/temp_folder.h"
#include "test_files.h"

namespace sonorel {
namespace {

using clitest::WriteMonoTransfer;
using clitest::WriteStereoTransfer;
using test::FileNamesIn;
using test::TempFolder;

namespace fs = std::filesystem;

// Short enough to keep the suite fast, long enough for several analysis blocks.
constexpr double kFileSeconds = 1.0;

RunResult RealRun(const RunRequest& request, RunObserver& observer, fs::path* created) {
    return ProcessFile(request, observer, created);
}

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun RunTool(const std::vector<std::string>& args, FileRunner runner = RealRun,
               bool startCancelled = false) {
    std::ostringstream out, err;
    std::atomic<bool> cancel{startCancelled};
    const CliContext context{.out = out, .err = err, .runner = std::move(runner), .cancel = cancel};
    CliRun result;
    result.status = RunCli(args, context);
    result.out = out.str();
    result.err = err.str();
    return result;
}

std::int64_t FramesOf(const fs::path& path, int* channels = nullptr) {
    const auto reader = SoundReader::Open(path);
    if (!reader) return -1;
    if (channels) *channels = reader->Format().channels;
    return reader->Format().frames;
}

class CliApp : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(inputs / "");
        fs::create_directory(outputs / "");
        WriteStereoTransfer(Input("good.wav"), kFileSeconds);
        WriteMonoTransfer(Input("mono.wav"), kFileSeconds);
    }
    std::string Input(const std::string& name) const { return (inputs / name).string(); }
    std::string Output(const std::string& name) const { return (outputs / name).string(); }

    TempFolder inputs;
    TempFolder outputs;
};

// Each refusal exits with 2, says why and how to get help, and touches no file.
TEST_F(CliApp, RefusalsExitWithTwoBeforeAnyFileIsTouched) {
    const std::string out = outputs.Path().string();
    const std::string good = Input("good.wav");
    const std::vector<std::vector<std::string>> refused{
        {"--click", "11", "-o", out, good},
        {"--gain", "abc", "-o", out, good},
        {"--rumble", "5", "-o", out, good},
        {"--function", "x", "-o", out, good},
        {"-o", out, good, "--hiss"},
        {"--wizard", "1,2,3", "-o", out, good},
        {"--wizard", "24,0,0,0,0", "-o", out, good},
        {"--bogus", "-o", out, good},
        {"-o", out},
        {good},
        {"-o", (outputs / "missing").string(), good},
        {"-o", good, Input("mono.wav")},                        // a file is not a folder
        {"--report", inputs.Path().string(), "-o", out, good},  // a folder is no report file
        {"--report", (outputs / "missing" / "report.jsonl").string(), "-o", out, good},
        {"--report", "", "-o", out, good},
        {"--picture", (outputs / "missing").string(), "-o", out, good},
        {"--align", "--preview", good},
        {"--keep-metadata=yes", "-o", out, good},
    };
    for (const auto& args : refused) {
        const CliRun run = RunTool(args);
        EXPECT_EQ(run.status, kExitRefused) << args.front();
        EXPECT_EQ(run.err.rfind("sonorel-cli: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("Try 'sonorel-cli --help'"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(FileNamesIn(outputs.Path()).empty()) << args.front();
        EXPECT_EQ(FileNamesIn(inputs.Path()), (std::vector<std::string>{"good.wav", "mono.wav"}));
    }
}

TEST_F(CliApp, AMissingOutputFolderIsNamedAndNotCreated) {
    const fs::path missing = outputs / "new" / "deeper";
    const CliRun run = RunTool({"-o", missing.string(), Input("good.wav")});
    EXPECT_EQ(run.status, kExitRefused);
    EXPECT_NE(run.err.find(missing.string() + "\" does not exist"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(outputs / "new"));
}

TEST_F(CliApp, HelpVersionAndCategoriesExitWithZero) {
    const CliRun help = RunTool({"--help"});
    EXPECT_EQ(help.status, kExitAllDone);
    EXPECT_EQ(help.out.rfind("Usage: sonorel-cli", 0), 0u);
    const CliRun version = RunTool({"--version"});
    EXPECT_EQ(version.status, kExitAllDone);
    EXPECT_EQ(version.out.rfind("sonorel-cli (Sonorel 4.2)\n", 0), 0u);
    const CliRun categories = RunTool({"--list-categories"});
    EXPECT_EQ(categories.status, kExitAllDone);
    EXPECT_NE(categories.out.find("16  Victor pre-1936\n"), std::string::npos);
    EXPECT_EQ(help.err + version.err + categories.err, "");
}

TEST_F(CliApp, AllFilesRestoredExitsWithZeroAndListsEachOutput) {
    WriteStereoTransfer(Input("second.wav"), kFileSeconds, 11);
    const CliRun run =
        RunTool({"-o", outputs.Path().string(), Input("good.wav"), Input("second.wav")});
    EXPECT_EQ(run.status, kExitAllDone) << run.err;
    EXPECT_EQ(run.out, Input("good.wav") + " -> " + Output("good.wav") + "\n" +
                           Input("second.wav") + " -> " + Output("second.wav") + "\n");
    EXPECT_EQ(run.err, "");
    int channels = 0;
    const std::int64_t inputFrames = FramesOf(Input("good.wav"));
    const std::int64_t outputFrames = FramesOf(Output("good.wav"), &channels);
    EXPECT_EQ(channels, 1);
    // Whole blocks of 883: between the input's length and 882 more.
    EXPECT_GE(outputFrames, inputFrames);
    EXPECT_LT(outputFrames, inputFrames + 883);
}

TEST_F(CliApp, AFailedFileGivesExitOneWithTheProgramsMessage) {
    const CliRun run = RunTool({"-o", outputs.Path().string(), Input("good.wav"), Input("mono.wav"),
                                Input("nothing-here.wav")});
    EXPECT_EQ(run.status, kExitSomeFailed);
    EXPECT_EQ(run.out, Input("good.wav") + " -> " + Output("good.wav") + "\n");
    EXPECT_EQ(run.err, Input("mono.wav") +
                           ": Input file should be (but is not) stereo: it has 1 channel, not 2\n" +
                           Input("nothing-here.wav") +
                           ": Input file could not be opened or is too short: it does not exist\n"
                           "sonorel-cli: 2 of 3 files were not restored\n");
    // The mono input leaves no output behind.
    EXPECT_EQ(FileNamesIn(outputs.Path()), std::vector<std::string>{"good.wav"});
}

TEST_F(CliApp, QuietPrintsOnlyFailures) {
    const CliRun ok = RunTool({"-q", "-o", outputs.Path().string(), Input("good.wav")});
    EXPECT_EQ(ok.status, kExitAllDone);
    EXPECT_EQ(ok.out + ok.err, "");
    const CliRun failed = RunTool({"-q", "-o", outputs.Path().string(), Input("mono.wav")});
    EXPECT_EQ(failed.status, kExitSomeFailed);
    EXPECT_EQ(failed.err,
              Input("mono.wav") +
                  ": Input file should be (but is not) stereo: it has 1 channel, not 2\n");
}

// "." puts each output beside its input; the input itself takes the first
// name, so the output is side1-1.wav, and the next run side1-2.wav.
TEST_F(CliApp, DotWritesBesideEachInputWithoutOverwriting) {
    WriteStereoTransfer(Input("side1.wav"), kFileSeconds);
    const CliRun first = RunTool({"-o", ".", Input("side1.wav")});
    EXPECT_EQ(first.status, kExitAllDone) << first.err;
    EXPECT_EQ(first.out, Input("side1.wav") + " -> " + Input("side1-1.wav") + "\n");
    const CliRun second = RunTool({"-o", ".", Input("side1.wav")});
    EXPECT_EQ(second.status, kExitAllDone) << second.err;
    EXPECT_EQ(second.out, Input("side1.wav") + " -> " + Input("side1-2.wav") + "\n");
    EXPECT_EQ(FileNamesIn(inputs.Path()),
              (std::vector<std::string>{"good.wav", "mono.wav", "side1-1.wav", "side1-2.wav",
                                        "side1.wav"}));
    // The restored files are identical: the same input, the same settings.
    EXPECT_EQ(FramesOf(Input("side1-1.wav")), FramesOf(Input("side1-2.wav")));
}

TEST_F(CliApp, TheSameInputTwiceTakesTheNextName) {
    const CliRun run =
        RunTool({"-j", "2", "-o", outputs.Path().string(), Input("good.wav"), Input("good.wav")});
    EXPECT_EQ(run.status, kExitAllDone) << run.err;
    EXPECT_EQ(FileNamesIn(outputs.Path()), (std::vector<std::string>{"good-1.wav", "good.wav"}));
}

TEST_F(CliApp, TwoJobsReportInListOrder) {
    WriteStereoTransfer(Input("long.wav"), 3 * kFileSeconds, 5);
    WriteStereoTransfer(Input("short.wav"), kFileSeconds, 6);
    const CliRun run = RunTool({"--jobs", "2", "-o", outputs.Path().string(), Input("long.wav"),
                                Input("mono.wav"), Input("short.wav")});
    EXPECT_EQ(run.status, kExitSomeFailed);
    EXPECT_EQ(run.out, Input("long.wav") + " -> " + Output("long.wav") + "\n" + Input("short.wav") +
                           " -> " + Output("short.wav") + "\n");
    EXPECT_EQ(
        run.err.rfind(Input("mono.wav") +
                          ": Input file should be (but is not) stereo: it has 1 channel, not 2\n",
                      0),
        0u)
        << run.err;
}

// A relative folder is taken from the current folder and reported absolute.
TEST_F(CliApp, ARelativeOutputFolderIsMadeAbsolute) {
    const fs::path previous = fs::current_path();
    fs::current_path(outputs.Path());
    fs::create_directory("rel");
    const CliRun run = RunTool({"-o", "rel/../rel/", Input("good.wav")});
    fs::current_path(previous);
    EXPECT_EQ(run.status, kExitAllDone) << run.err;
    EXPECT_EQ(run.out, Input("good.wav") + " -> " + Output("rel/good.wav") + "\n");
}

// Ctrl-C during a run: the file stops at the next block, its output is a
// shorter, well-formed file, and the files after it never start.
TEST_F(CliApp, ACancelLeavesAShorterWellFormedFileAndStartsNoOther) {
    std::atomic<bool>* cancelFlag = nullptr;
    // Presses Ctrl-C when the first file reaches block 10.
    class PressCtrlC : public RunObserver {
      public:
        PressCtrlC(RunObserver& inner, std::atomic<bool>& cancel)
            : inner_(inner), cancel_(cancel) {}
        void BeginProgress(ProgressKind k, const std::string& l, std::int64_t m) override {
            inner_.BeginProgress(k, l, m);
        }
        bool UpdateProgress(std::int64_t value) override {
            if (value == 10) cancel_ = true;
            return inner_.UpdateProgress(value);
        }
        bool ConfirmCancel() override { return inner_.ConfirmCancel(); }

      private:
        RunObserver& inner_;
        std::atomic<bool>& cancel_;
    };

    std::ostringstream out, err;
    std::atomic<bool> cancel{false};
    cancelFlag = &cancel;
    const FileRunner runner = [&](const RunRequest& request, RunObserver& observer,
                                  fs::path* created) {
        PressCtrlC pressing(observer, *cancelFlag);
        return ProcessFile(request, pressing, created);
    };
    WriteStereoTransfer(Input("next.wav"), kFileSeconds);
    const CliContext context{.out = out, .err = err, .runner = runner, .cancel = cancel};
    const std::vector<std::string> args{
        "-j", "1", "-o", outputs.Path().string(), Input("good.wav"), Input("next.wav")};
    EXPECT_EQ(RunCli(args, context), kExitSomeFailed);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find(Input("good.wav") + ": Output file is incomplete (" +
                             Output("good.wav") + ")\n"),
              std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find(Input("next.wav") + ": not started (cancelled)\n"), std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("cancelling"), std::string::npos) << err.str();
    // Ten blocks were written before the cancel was seen.
    EXPECT_EQ(FramesOf(Output("good.wav")), 10 * 883);
    EXPECT_EQ(FileNamesIn(outputs.Path()), std::vector<std::string>{"good.wav"});
}

TEST_F(CliApp, ACancelBeforeTheStartRunsNothing) {
    const CliRun run = RunTool({"-o", outputs.Path().string(), Input("good.wav")}, RealRun, true);
    EXPECT_EQ(run.status, kExitSomeFailed);
    EXPECT_NE(run.err.find(Input("good.wav") + ": not started (cancelled)"), std::string::npos);
    EXPECT_TRUE(FileNamesIn(outputs.Path()).empty());
}

}  // namespace
}  // namespace sonorel
