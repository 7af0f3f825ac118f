// How a Start run ends early: cancel answered Yes or No, a write failure, a
// read failure in the analysis pass. Each must leave a well-formed file that
// holds exactly the blocks written.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fstream>
#include <functional>

#include <sys/resource.h>

#include "pipeline/process_file.h"
#include "support/fake_playback_output.h"
#include "support/files.h"
#include "support/run_helpers.h"
#include "support/scripted_observer.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"
#include "support/wav_layout.h"

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
    // On one thread, and on two, where the input is read ahead of the kernel.
    for (int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        ScriptedObserver observer;
        observer.cancelAt = [](ProgressKind, std::int64_t block) { return block == 5; };
        observer.confirmAnswers = {true};
        RunRequest request;
        request.input = input_;
        request.threads = threads;

        const StartOutcome run = RunStart(std::move(request), folder_ / "out", observer);

        EXPECT_EQ(run.result, RunResult::RunIncomplete);
        const std::string label = "in-" + std::to_string(threads);  // in.wav is the reference
        EXPECT_EQ(observer.Calls(),
                  (std::vector<std::string>{"BeginBusy", "EndBusy",
                                            "BeginProgress Processing " + label + " 25",
                                            "ConfirmCancel", "EndProgress"}));
        EXPECT_EQ(observer.Updates(), (std::vector<std::int64_t>{1, 2, 3, 4, 5}));
        ExpectPrefix(run.output, 5);
    }
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

TEST_F(EarlyEnd, StopDuringTheAnalysisEndsTheRunBeforeTheNextBlock) {
    // A long file's analysis must not outlast a request to stop: the run
    // asks before each of its 7060-frame blocks and ends at once.
    ScriptedObserver observer;
    observer.stopBeforeAnalysisBlock = 1;

    const StartOutcome run = RunStart(input_, folder_ / "out", observer);

    EXPECT_EQ(run.result, RunResult::RunIncomplete);
    EXPECT_EQ(observer.StopQuestions(), 2);
    EXPECT_EQ(observer.Calls(), (std::vector<std::string>{"BeginBusy", "EndBusy"}));
    ExpectPrefix(run.output, 0);
}

// A FLAC stream whose writer never finished states no length; the reader
// decodes it once at opening to count its frames, which for hours of sound
// takes seconds, so a stop request is heeded there too.
TEST(ProcessFile, InputOfUnstatedLengthIsCountedAndAStopThenCreatesNothing) {
    const TempFolder folder;
    const auto input = folder / "stream.flac";
    WriteSoundFile(input, SoundFormat::Make(HeaderType::Flac, SampleEncoding::Pcm16, 44100, 2),
                   TransferSignal(20000, 44100));
    // STREAMINFO's total samples, the low 36 bits of bytes 18 to 25, set to
    // 0: "unknown".
    auto bytes = ReadBytes(input);
    bytes[21] &= 0xf0;
    std::fill(bytes.begin() + 22, bytes.begin() + 26, 0);
    std::ofstream(input, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    std::filesystem::create_directory(folder / "out");

    const StartOutcome counted = RunStart(input, folder / "out");
    EXPECT_EQ(counted.result, RunResult::RunOk);
    EXPECT_EQ(ReadMono(counted.output).samples.size(), 23u * 883u);  // ceil(20000 / 883) blocks

    ScriptedObserver observer;
    observer.stopBeforeAnalysisBlock = 0;  // the first question, while counting
    const StartOutcome stopped = RunStart(input, folder / "out", observer);
    EXPECT_EQ(stopped.result, RunResult::RunIncomplete);
    EXPECT_TRUE(stopped.output.empty());
    EXPECT_TRUE(observer.Calls().empty());
    EXPECT_EQ(FileNamesIn(folder / "out").size(), 1u);
}

// The input changes under the run: between the two passes, or part way
// through the processing pass. Whatever happens to it, the run completes on
// what it read or ends early, and its output is well formed: the header
// states exactly the samples it holds, all finite and within the bound. An
// input that is deleted, renamed over or grown is still read as it was
// opened, so the output is the full one.
struct InputChange {
    const char* name;
    std::int64_t atBlock;  // 0: between the passes, otherwise after this block
    std::function<void(const std::filesystem::path&)> change;
    bool keepsTheOpenedInput;
};

class ChangingInput : public EarlyEnd, public ::testing::WithParamInterface<InputChange> {};

class ChangeAt : public RunObserver {
  public:
    ChangeAt(const InputChange& change, std::filesystem::path input)
        : change_(change), input_(std::move(input)) {}
    void EndBusy() override {
        if (change_.atBlock == 0) change_.change(input_);
    }
    bool UpdateProgress(std::int64_t value) override {
        if (value == change_.atBlock) change_.change(input_);
        return false;
    }

  private:
    const InputChange& change_;
    std::filesystem::path input_;
};

void CutTo(const std::filesystem::path& input, std::uintmax_t bytes) {
    std::filesystem::resize_file(input, bytes);
}

TEST_P(ChangingInput, OutputIsWellFormed) {
    // On one thread, and on two, where the input is read ahead of the kernel.
    for (int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        if (threads == 2) {
            std::filesystem::remove(input_);
            WriteSoundFile(input_, FloatWav(), TransferSignal(kFrames, 44100));
        }
        ChangeAt observer(GetParam(), input_);
        RunRequest request;
        request.input = input_;
        request.threads = threads;
        const StartOutcome run = RunStart(std::move(request), folder_ / "out", observer);

        EXPECT_TRUE(run.result == RunResult::RunOk || run.result == RunResult::RunIncomplete)
            << static_cast<int>(run.result);
        const auto bytes = ReadBytes(run.output);
        const auto layout = ParseWav(bytes);
        ASSERT_TRUE(layout);
        EXPECT_EQ(layout->riffBytes, bytes.size() - 8);
        EXPECT_EQ(layout->dataOffset + layout->dataBytes, bytes.size());
        const MonoFile out = ReadMono(run.output);
        for (const float v : out.samples)
            ASSERT_TRUE(std::abs(v) <= 0.999f) << v;
        if (GetParam().keepsTheOpenedInput) {
            EXPECT_EQ(run.result, RunResult::RunOk);
            EXPECT_EQ(out.samples, reference_);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    ProcessFile, ChangingInput,
    ::testing::Values(
        InputChange{"EmptiedBetweenPasses", 0, [](const auto& in) { CutTo(in, 0); }, false},
        InputChange{"HeaderCutBetweenPasses", 0, [](const auto& in) { CutTo(in, 30); }, false},
        InputChange{"HalvedWhileProcessing", 10,
                    [](const auto& in) { CutTo(in, std::filesystem::file_size(in) / 2); }, false},
        InputChange{"OverwrittenWithNoiseWhileProcessing", 5,
                    [](const auto& in) {
                        std::ofstream noise(in, std::ios::binary | std::ios::in);
                        for (int i = 0; i < 50000; ++i)
                            noise.put(static_cast<char>(i * 7919 % 251));
                    },
                    false},
        InputChange{"DeletedBetweenPasses", 0, [](const auto& in) { std::filesystem::remove(in); },
                    true},
        InputChange{"RenamedOverWhileProcessing", 3,
                    [](const auto& in) {
                        const auto other = in.parent_path() / "other.wav";
                        WriteSoundFile(other, Wav16(44100, 1), TransferSignal(9000, 44100));
                        std::filesystem::rename(other, in);
                    },
                    true},
        InputChange{"GrownBetweenPasses", 0,
                    [](const auto& in) {
                        std::ofstream(in, std::ios::binary | std::ios::app)
                            << std::string(100000, '\x55');
                    },
                    true}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

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
