// How a Start run ends early: cancel answered Yes or No, a write failure, a
// read failure in the analysis pass. Each must leave a well-formed file that
// holds exactly the blocks written.

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>

#include <sys/resource.h>

#include "pipeline/process_file.h"
#include "support/fake_playback_output.h"
#include "support/files.h"
#include "support/run_helpers.h"
#include "support/scripted_observer.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"
#include "wav_layout.h"

namespace sonorel {
namespace {

using namespace sonorel::test;

constexpr std::int64_t kFrames = 22050;  // 25 blocks
constexpr std::int64_t kBlocks = 25;

class EarlyEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteSoundFile(input_, FloatWav(), TransferSignal(kFrames, 44100));
        std::filesystem::create_directory(folder_ / "out");
        const StartOutcome full = RunStart(input_, folder_ / "out");
        ASSERT_EQ(full.result, RunResult::RunOk);
        reference_ = ReadMono(full.output).samples;
        ASSERT_EQ(reference_.size(), static_cast<std::size_t>(kBlocks * 883));
    }

    // The output holds the first `blocks` blocks of the uncancelled run, and
    // its header states exactly that much data.
    void ExpectPrefix(const std::filesystem::path& output, std::int64_t blocks) {
        const auto bytes = ReadBytes(output);
        const auto layout = ParseWav(bytes);
        ASSERT_TRUE(layout);
        EXPECT_EQ(layout->riffBytes, bytes.size() - 8);
        EXPECT_EQ(layout->dataBytes, blocks * 883 * 4);
        EXPECT_EQ(layout->dataOffset + layout->dataBytes, bytes.size());
        const MonoFile out = ReadMono(output);
        ASSERT_EQ(out.samples.size(), static_cast<std::size_t>(blocks * 883));
        EXPECT_TRUE(std::equal(out.samples.begin(), out.samples.end(), reference_.begin()));
    }

    TempFolder folder_;
    std::filesystem::path input_ = folder_ / "in.wav";
    std::vector<float> reference_;
};

TEST_F(EarlyEnd, CancelAnsweredYesLeavesTheBlocksWrittenSoFar) {
    ScriptedObserver observer;
    observer.cancelAt = [](ProgressKind, std::int64_t block) { return block == 5; };
    observer.confirmAnswers = {true};

    const StartOutcome run = RunStart(input_, folder_ / "out", observer);

    EXPECT_EQ(run.result, RunResult::RunIncomplete);
    EXPECT_EQ(observer.Calls(),
              (std::vector<std::string>{"BeginBusy", "EndBusy", "BeginProgress Processing in-1 25",
                                        "ConfirmCancel", "EndProgress"}));
    EXPECT_EQ(observer.Updates(), (std::vector<std::int64_t>{1, 2, 3, 4, 5}));
    ExpectPrefix(run.output, 5);
}

TEST_F(EarlyEnd, CancelAnsweredNoLosesNoBlock) {
    ScriptedObserver observer;
    observer.cancelAt = [](ProgressKind, std::int64_t block) { return block == 3 || block == 4; };
    observer.confirmAnswers = {false, false};

    const StartOutcome run = RunStart(input_, folder_ / "out", observer);

    EXPECT_EQ(run.result, RunResult::RunOk);
    EXPECT_EQ(observer.Calls(),
              (std::vector<std::string>{"BeginBusy", "EndBusy", "BeginProgress Processing in-1 25",
                                        "ConfirmCancel", "ResumeProgress", "ConfirmCancel",
                                        "ResumeProgress", "EndProgress"}));
    EXPECT_EQ(observer.Updates().size(), static_cast<std::size_t>(kBlocks));
    ExpectPrefix(run.output, kBlocks);
}

// Limits the size of files this process writes, with SIGXFSZ ignored so that
// a write past the limit fails with EFBIG instead of ending the process.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

TEST_F(EarlyEnd, WriteFailureLeavesAWellFormedFileWithoutTheFailedBlock) {
    // Room for the header and about ten blocks of float samples.
    const auto full = ReadBytes(folder_ / "out" / "in.wav");
    const std::size_t header = full.size() - reference_.size() * 4;
    const rlim_t limit = header + 10 * 883 * 4 + 1000;
    StartOutcome run;
    {
        const FileSizeLimit sizeLimit(limit);
        run = RunStart(input_, folder_ / "out");
    }
    EXPECT_EQ(run.result, RunResult::RunIncomplete);
    ExpectPrefix(run.output, 10);
}

TEST(ProcessFile, ReadFailureInTheAnalysisPassLeavesAnEmptyOutput) {
    // A FLAC file whose audio frames are damaged past the first few: the
    // header opens, the decoder fails on the first damaged frame.
    const TempFolder folder;
    const auto input = folder / "damaged.flac";
    WriteSoundFile(input, SoundFormat::Make(HeaderType::Flac, SampleEncoding::Pcm16, 44100, 2),
                   TransferSignal(44100, 44100));
    DamageSecondHalf(input);
    std::filesystem::create_directory(folder / "out");

    ScriptedObserver observer;
    const StartOutcome run = RunStart(input, folder / "out", observer);

    EXPECT_EQ(run.result, RunResult::RunBadInput);
    EXPECT_EQ(observer.Calls(), (std::vector<std::string>{"BeginBusy", "EndBusy"}));
    // The output stays behind, holding no sample.
    ASSERT_FALSE(run.output.empty());
    ASSERT_TRUE(std::filesystem::exists(run.output));
    const auto reader = SoundReader::Open(run.output);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->Format().frames, 0);

    // A preview of it plays nothing.
    FakePlaybackOutput line;
    ScriptedObserver previewObserver;
    EXPECT_EQ(RunPreview(input, line, previewObserver), RunResult::RunBadInput);
    EXPECT_EQ(line.Opens(), 0);
}

}  // namespace
}  // namespace sonorel
