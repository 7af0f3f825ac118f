// sonorel-cli --preview through the real per-file run, with a fake sound
// output in place of the sound card.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>

#include "cli/cli_app.h"
#include "pipeline/process_file.h"
#include "support/fake_playback_output.h"
#include "support/files.h"
#include "support/temp_folder.h"
#include "test_files.h"

namespace sonorel {
namespace {

namespace fs = std::filesystem;
using test::FakePlaybackOutput;
using test::FileNamesIn;

struct PreviewRun {
    int status;
    std::string out, err;
};

PreviewRun Preview(const std::vector<std::string>& args, FakePlaybackOutput& output,
                   std::atomic<bool>& cancel) {
    std::ostringstream out, err;
    const CliContext context{
        .out = out, .err = err, .runner = ProcessFile, .cancel = cancel, .previewOutput = &output};
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

    test::TempFolder folder;
    FakePlaybackOutput output;
    std::atomic<bool> cancel{false};
};

// A 1 s file at 44100 Hz fills 6 whole chunks of 7064 samples (44100 frames
// make 50 blocks of 883, of which 48 form whole chunks); nothing is written.
TEST_F(CliPreview, PlaysTheStartOfEachFileAndWritesNothing) {
    const PreviewRun run = Preview({"--preview", Input("a.wav"), Input("b.wav")}, output, cancel);
    EXPECT_EQ(run.status, kExitAllDone) << run.err;
    EXPECT_EQ(run.out,
              Input("a.wav") + ": preview played\n" + Input("b.wav") + ": preview played\n");
    EXPECT_EQ(output.Opens(), 2);
    EXPECT_EQ(output.Samples().size(), 2u * 6 * 7064);
    EXPECT_EQ(FileNamesIn(folder.Path()), (std::vector<std::string>{"a.wav", "b.wav"}));
}

TEST_F(CliPreview, PlaysOneFileAtATimeWhateverTheJobs) {
    const PreviewRun run = Preview(
        {"--preview", "-j", "4", Input("a.wav"), Input("b.wav"), Input("a.wav")}, output, cancel);
    EXPECT_EQ(run.status, kExitAllDone) << run.err;
    EXPECT_EQ(output.Opens(), 3);
    EXPECT_EQ(output.MostOpenAtOnce(), 1);
}

TEST_F(CliPreview, NoSoundOutputIsAProblemPlayingPreview) {
    output.openSucceeds = false;
    const PreviewRun run = Preview({"--preview", Input("a.wav")}, output, cancel);
    EXPECT_EQ(run.status, kExitSomeFailed);
    EXPECT_EQ(run.err, Input("a.wav") +
                           ": Problem playing preview: no sound output could be opened, or it "
                           "stopped taking sound\n");
}

TEST_F(CliPreview, CtrlCWhilePlayingCancelsThePreviewAndTheRest) {
    // Chunks that take as long as a slow sound card: the playback is still
    // going when the next poll sees the Ctrl-C (an instant line could play
    // all six chunks before the first poll).
    output.writeDelay = std::chrono::milliseconds(50);
    output.onWrite = [this](int) { cancel = true; };
    const PreviewRun run = Preview({"--preview", Input("a.wav"), Input("b.wav")}, output, cancel);
    EXPECT_EQ(run.status, kExitSomeFailed);
    EXPECT_NE(run.err.find(Input("a.wav") + ": Preview cancelled\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(Input("b.wav") + ": not started (cancelled)\n"), std::string::npos)
        << run.err;
    EXPECT_EQ(output.Opens(), 1);
}

}  // namespace
}  // namespace sonorel
