// Re-running sonorel-cli over the same inputs, as an archive does after a
// crash: a killed run leaves no file under a final name, --skip-existing
// picks up where it stopped, and output names follow the list order
// whichever job finishes first.

#include <gtest/gtest.h>
#include <signal.h>

#include <functional>
#include <string>
#include <vector>

#include "child_process.h"
#include "soundfile/sound_file.h"
#include "support/files.h"
#include "support/temp_folder.h"
#include "test_files.h"

namespace sonorel {
namespace {

using test::FileNamesIn;
using test::TempFolder;
namespace fs = std::filesystem;

std::uintmax_t SizeOr0(const fs::path& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

std::int64_t FramesOf(const fs::path& path) {
    const auto reader = SoundReader::Open(path);
    return reader ? reader->Format().frames : -1;
}

// One run of the sequence, all over the same folders.
struct RunStep {
    const char* what;
    std::vector<std::string> args;  // before the inputs
    // Killed with SIGKILL once the partial file of long.wav passes 200 kB.
    bool killMidFile;
    bool exited;  // false: ended by the signal
    int status;
    // The visible outputs afterwards, sorted; the partial files of killed
    // runs ("." names) are left out.
    std::vector<std::string> outputs;
    const char* saysOnOut;
};

TEST(ReRuns, KilledSkippedAndRepeatedRunsKeepEveryFinalNameWhole) {
    const TempFolder folder;
    fs::create_directories(folder / "in" / "disc1");
    fs::create_directories(folder / "in" / "disc2");
    fs::create_directory(folder / "out");
    // Same side names on two discs: disc1's is much longer, so with two jobs
    // disc2's finishes first, yet disc1's comes first in the list.
    clitest::WriteStereoTransfer(folder / "in" / "long.wav", 60.0, 3);
    clitest::WriteStereoTransfer(folder / "in" / "disc1" / "side1.wav", 20.0, 1);
    clitest::WriteStereoTransfer(folder / "in" / "disc2" / "side1.wav", 0.5, 2);
    const std::vector<std::string> inputs{"in/long.wav", "in/disc1/side1.wav",
                                          "in/disc2/side1.wav"};

    const std::vector<RunStep> steps{
        {"killed mid-file", {"-o", "out", "-j", "1"}, true, false, 0, {}, ""},
        {"picks up with --skip-existing",
         {"-o", "out", "-j", "2", "--skip-existing"},
         false,
         true,
         0,
         {"long.wav", "side1-1.wav", "side1.wav"},
         ""},
        {"all skipped",
         {"-o", "out", "-j", "2", "--skip-existing"},
         false,
         true,
         0,
         {"long.wav", "side1-1.wav", "side1.wav"},
         "in/disc2/side1.wav: skipped"},
        {"without --skip-existing, new names",
         {"-o", "out", "-j", "2"},
         false,
         true,
         0,
         {"long-1.wav", "long.wav", "side1-1.wav", "side1-2.wav", "side1-3.wav", "side1.wav"},
         "in/disc1/side1.wav -> "},
    };
    for (const RunStep& step : steps) {
        SCOPED_TRACE(step.what);
        std::vector<std::string> args = step.args;
        args.insert(args.end(), inputs.begin(), inputs.end());
        const clitest::ChildRun run = clitest::RunChild(
            SONOREL_CLI_PROGRAM, args, folder.Path(), {},
            step.killMidFile ? clitest::WhileRunning([&](pid_t pid,
                                                         const std::atomic<bool>& ended) {
                if (clitest::WaitFor(
                        [&] { return SizeOr0(folder / "out" / ".long.wav.partial") > 200000; },
                        ended)) {
                    ::kill(pid, SIGKILL);
                }
            })
                             : clitest::WhileRunning());
        ASSERT_FALSE(run.hung) << run.err;
        EXPECT_EQ(run.exited, step.exited) << run.err;
        if (step.exited) {
            EXPECT_EQ(run.status, step.status) << run.err;
        }
        EXPECT_NE(run.out.find(step.saysOnOut), std::string::npos) << run.out;

        std::vector<std::string> visible;
        for (const std::string& name : FileNamesIn(folder / "out")) {
            if (!name.starts_with(".")) visible.push_back(name);
        }
        EXPECT_EQ(visible, step.outputs) << run.out << run.err;
        // Every final name holds a whole restoration, never a torn file.
        for (const std::string& name : visible) {
            EXPECT_EQ(FramesOf(folder / "out" / name) % 883, 0) << name;
            EXPECT_GT(FramesOf(folder / "out" / name), 0) << name;
        }
    }
    // The list order decided the names: disc1's 20 s side took side1.wav.
    EXPECT_GT(FramesOf(folder / "out" / "side1.wav"), 44100 * 19);
    EXPECT_LT(FramesOf(folder / "out" / "side1-1.wav"), 44100);
    EXPECT_GT(FramesOf(folder / "out" / "side1-2.wav"), 44100 * 19);
    // The killed run's partial file is still there, under its own name only.
    EXPECT_TRUE(fs::exists(folder / "out" / ".long.wav.partial"));
}

}  // namespace
}  // namespace sonorel
