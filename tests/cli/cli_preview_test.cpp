// sonorel-cli --preview through the real per-file run, with a fake sound
// output in place of the sound card.

#include <gtest/gtest.h>

#include <mutex>
#include <sstream>

#include "cli/cli_app.h"
#include "pipeline/playback_output.h"
#include "pipeline/process_file.h"
#include "test_files.h"

namespace sonorel {
namespace {

namespace fs = std::filesystem;

class FakeOutput : public PlaybackOutput {
  public:
    bool Open(int, std::int64_t) override {
        std::lock_guard lock(mutex);
        ++opens;
        mostOpenAtOnce = std::max(mostOpenAtOnce, ++open);
        return !refuse;
    }
    bool Write(std::span<const std::int16_t> chunk) override {
        std::lock_guard lock(mutex);
        samples += static_cast<std::int64_t>(chunk.size());
        if (cancelOnWrite) *cancelOnWrite = true;
        return true;
    }
    void Close(bool) override {
        std::lock_guard lock(mutex);
        --open;
    }

    std::mutex mutex;
    bool refuse = false;
    std::atomic<bool>* cancelOnWrite = nullptr;
    int opens = 0, open = 0, mostOpenAtOnce = 0;
    std::int64_t samples = 0;
};

struct PreviewRun {
    int status;
    std::string out, err;
};

PreviewRun Preview(const std::vector<std::string>& args, FakeOutput& output,
                   std::atomic<bool>& cancel) {
    std::ostringstream out, err;
    const FileRunner runner = [&output](const RunRequest& request, RunObserver& observer,
                                        fs::path* created) {
        RunRequest withFake = request;
        withFake.previewOutput = &output;
        return ProcessFile(withFake, observer, created);
    };
    const CliContext context{.out = out, .err = err, .runner = runner, .cancel = cancel};
    const int status = RunCli(args, context);
    return {status, out.str(), err.str()};
}

class CliPreview : public ::testing::Test {
  protected:
    void SetUp() override {
        clitest::WriteStereoTransfer(folder / "a.wav", 1.0);
        clitest::WriteStereoTransfer(folder / "b.wav", 1.0, 9);
    }
    std::string Input(const std::string& name) const { return (folder / name).string(); }

    clitest::TempFolder folder;
    FakeOutput output;
    std::atomic<bool> cancel{false};
};

// A 1 s file at 44100 Hz fills 6 whole chunks of 7064 samples (44100 frames
// make 50 blocks of 883, of which 48 form whole chunks); nothing is written.
TEST_F(CliPreview, PlaysTheStartOfEachFileAndWritesNothing) {
    const PreviewRun run = Preview({"--preview", Input("a.wav"), Input("b.wav")}, output, cancel);
    EXPECT_EQ(run.status, kExitAllDone) << run.err;
    EXPECT_EQ(run.out,
              Input("a.wav") + ": preview played\n" + Input("b.wav") + ": preview played\n");
    EXPECT_EQ(output.opens, 2);
    EXPECT_EQ(output.samples, 2 * 6 * 7064);
    EXPECT_EQ(clitest::NamesIn(folder.Path()), (std::vector<std::string>{"a.wav", "b.wav"}));
}

TEST_F(CliPreview, PlaysOneFileAtATimeWhateverTheJobs) {
    const PreviewRun run = Preview(
        {"--preview", "-j", "4", Input("a.wav"), Input("b.wav"), Input("a.wav")}, output, cancel);
    EXPECT_EQ(run.status, kExitAllDone) << run.err;
    EXPECT_EQ(output.opens, 3);
    EXPECT_EQ(output.mostOpenAtOnce, 1);
}

TEST_F(CliPreview, NoSoundOutputIsAProblemPlayingPreview) {
    output.refuse = true;
    const PreviewRun run = Preview({"--preview", Input("a.wav")}, output, cancel);
    EXPECT_EQ(run.status, kExitSomeFailed);
    EXPECT_EQ(run.err, Input("a.wav") + ": Problem playing preview\n");
}

TEST_F(CliPreview, CtrlCWhilePlayingCancelsThePreviewAndTheRest) {
    output.cancelOnWrite = &cancel;
    const PreviewRun run = Preview({"--preview", Input("a.wav"), Input("b.wav")}, output, cancel);
    EXPECT_EQ(run.status, kExitSomeFailed);
    EXPECT_NE(run.err.find(Input("a.wav") + ": Preview cancelled\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(Input("b.wav") + ": not started (cancelled)\n"), std::string::npos)
        << run.err;
    EXPECT_EQ(output.opens, 1);
}

}  // namespace
}  // namespace sonorel
