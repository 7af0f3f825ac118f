// Whole-run properties: deterministic output, independent runs on several
// threads, damaged samples that must not spread, inputs whose analysis gives
// no level range, and no allocation while blocks are processed.

#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>
#include <set>
#include <thread>

#include "pipeline/process_file.h"
#include "pipeline/thread_priority.h"
#include "support/allocation_counter.h"
#include "support/run_helpers.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

using namespace sonorel::test;

bool AllFinite(const std::vector<float>& samples) {
    return std::all_of(samples.begin(), samples.end(), [](float v) { return std::isfinite(v); });
}

double Rms(const std::vector<float>& samples, std::size_t from) {
    double sum = 0.0;
    for (std::size_t i = from; i < samples.size(); ++i)
        sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(samples.size() - from));
}

// Float files carry a time stamp in their header, so outputs are compared by
// the bits of their samples, not as whole files.
::testing::AssertionResult SameSamples(const std::filesystem::path& a,
                                       const std::filesystem::path& b) {
    const auto x = ReadMono(a).samples;
    const auto y = ReadMono(b).samples;
    if (x.size() != y.size()) {
        return ::testing::AssertionFailure() << x.size() << " samples against " << y.size();
    }
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::bit_cast<std::uint32_t>(x[i]) != std::bit_cast<std::uint32_t>(y[i])) {
            return ::testing::AssertionFailure()
                   << "first difference at sample " << i << ": " << x[i] << " against " << y[i];
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(ProcessFile, TwoRunsOfTheSameInputAreBitIdentical) {
    const TempFolder folder;
    WriteSoundFile(folder / "in.wav", FloatWav(), TransferSignal(22050, 44100));
    std::filesystem::create_directory(folder / "out");
    const StartOutcome first = RunStart(folder / "in.wav", folder / "out");
    const StartOutcome second = RunStart(folder / "in.wav", folder / "out");
    ASSERT_EQ(first.result, RunResult::RunOk);
    ASSERT_EQ(second.result, RunResult::RunOk);
    ASSERT_NE(first.output, second.output);
    EXPECT_TRUE(SameSamples(first.output, second.output));
}

TEST(ProcessFile, RunsOnSeveralThreadsAtOnceMatchSequentialRuns) {
    // Each run owns its filter designs and kernel state; nothing is shared.
    constexpr int kRuns = 4;
    const TempFolder folder;
    std::filesystem::create_directory(folder / "sequential");
    std::filesystem::create_directory(folder / "parallel");
    std::vector<RunParameters> params(kRuns);
    std::vector<std::filesystem::path> inputs;
    for (int i = 0; i < kRuns; ++i) {
        const int rate = i % 2 == 0 ? 44100 : 22050;
        inputs.push_back(folder / ("in" + std::to_string(i) + ".wav"));
        WriteSoundFile(inputs.back(), FloatWav(rate),
                       TransferSignal(15000 + 1000 * i, rate, static_cast<unsigned>(i)));
        params[i].bassLiftDb = 3 * i;
        params[i].trebleLiftDb = -2 * i;
        params[i].hissHz = 6000 + 2000u * static_cast<unsigned>(i);
        params[i].rumbleHz = 20 + 20u * static_cast<unsigned>(i);
        params[i].channelFunction =
            i == 3 ? ChannelFunction::VocalRemover : ChannelFunction::MonoEnhancer;
    }
    for (int i = 0; i < kRuns; ++i) {
        ASSERT_EQ(RunStart(inputs[i], folder / "sequential", params[i]).result, RunResult::RunOk);
    }
    std::vector<RunResult> results(kRuns, RunResult::RunNoOutput);
    std::vector<std::thread> threads;
    threads.reserve(kRuns);
    for (int i = 0; i < kRuns; ++i) {
        threads.emplace_back(
            [&, i] { results[i] = RunStart(inputs[i], folder / "parallel", params[i]).result; });
    }
    for (auto& t : threads)
        t.join();
    for (int i = 0; i < kRuns; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(results[i], RunResult::RunOk);
        const std::string name = inputs[i].filename().string();
        EXPECT_TRUE(SameSamples(folder / "parallel" / name, folder / "sequential" / name));
    }
}

TEST(ProcessFile, RunsRacingForTheSameNameEachGetTheirOwnFile) {
    // Four runs of one input into one folder at once: the exclusive creation
    // gives each its own name of the "%s-%d" rule, and no run overwrites
    // another's output.
    constexpr int kRuns = 4;
    const TempFolder folder;
    WriteSoundFile(folder / "in.wav", FloatWav(), TransferSignal(12000, 44100));
    std::filesystem::create_directory(folder / "out");
    std::vector<StartOutcome> outcomes(kRuns);
    std::vector<std::thread> threads;
    threads.reserve(kRuns);
    for (int i = 0; i < kRuns; ++i) {
        threads.emplace_back([&, i] { outcomes[i] = RunStart(folder / "in.wav", folder / "out"); });
    }
    for (auto& t : threads)
        t.join();

    std::set<std::filesystem::path> names;
    for (const StartOutcome& outcome : outcomes) {
        EXPECT_EQ(outcome.result, RunResult::RunOk);
        names.insert(outcome.output);
    }
    EXPECT_EQ(names, (std::set<std::filesystem::path>{
                         folder / "out" / "in.wav", folder / "out" / "in-1.wav",
                         folder / "out" / "in-2.wav", folder / "out" / "in-3.wav"}));
    for (const auto& name : names)
        EXPECT_TRUE(SameSamples(name, folder / "out" / "in.wav"));
}

TEST(ProcessFile, DamagedSamplesAreReadAsSilenceAndDoNotSpread) {
    // A float file with a NaN and infinities gives exactly the output of the
    // same file with zeros in their places.
    const TempFolder folder;
    auto signal = TransferSignal(22050, 44100);
    auto damaged = signal;
    for (const std::size_t at : {2 * 5000u, 2 * 9000u + 1, 2 * 15000u}) {
        signal[at] = 0.0f;
    }
    damaged[2 * 5000] = std::numeric_limits<float>::quiet_NaN();
    damaged[2 * 9000 + 1] = std::numeric_limits<float>::infinity();
    damaged[2 * 15000] = -std::numeric_limits<float>::infinity();
    WriteSoundFile(folder / "clean.wav", FloatWav(), signal);
    WriteSoundFile(folder / "damaged.wav", FloatWav(), damaged);

    const StartOutcome clean = RunStart(folder / "clean.wav", folder.Path());
    const StartOutcome hurt = RunStart(folder / "damaged.wav", folder.Path());

    ASSERT_EQ(clean.result, RunResult::RunOk);
    ASSERT_EQ(hurt.result, RunResult::RunOk);
    const auto cleanOut = ReadMono(clean.output).samples;
    const auto hurtOut = ReadMono(hurt.output).samples;
    EXPECT_TRUE(AllFinite(hurtOut));
    EXPECT_EQ(hurtOut, cleanOut);
}

TEST(ProcessFile, OneSilentChannelGivesAFiniteOutput) {
    // Every analysis block is rejected, so no level range is known.
    const TempFolder folder;
    WriteSoundFile(folder / "in.wav", FloatWav(), MakeSignal(22050, 2, [](std::int64_t f, int c) {
                       return c == 0 ? 0.4f * std::sin(0.06f * static_cast<float>(f)) : 0.0f;
                   }));
    const StartOutcome run = RunStart(folder / "in.wav", folder.Path());
    ASSERT_EQ(run.result, RunResult::RunOk);
    EXPECT_TRUE(AllFinite(ReadMono(run.output).samples));
}

TEST(ProcessFile, SteadyToneGivesAFiniteAudibleOutput) {
    // Every analysis block has the same level, so the level range is zero.
    // A tone both channels share is what the restoration keeps.
    const TempFolder folder;
    WriteSoundFile(folder / "in.wav", FloatWav(), MakeSignal(44100, 2, [](std::int64_t f, int) {
                       return 0.5f * static_cast<float>(std::sin(2.0 * std::numbers::pi * 1000.0 *
                                                                 static_cast<double>(f) / 44100.0));
                   }));
    const StartOutcome run = RunStart(folder / "in.wav", folder.Path());
    ASSERT_EQ(run.result, RunResult::RunOk);
    const auto out = ReadMono(run.output).samples;
    EXPECT_TRUE(AllFinite(out));
    // Well above the silence of a failed mix, well below the clamp: a level
    // that sets the output, not an accident of the fallback.
    const double rms = Rms(out, out.size() / 2);
    EXPECT_GT(rms, 0.01);
    EXPECT_LT(rms, 0.9);
}

// Records how many allocations the run's thread had made at each block.
class AllocationProbe : public RunObserver {
  public:
    bool UpdateProgress(std::int64_t value) override {
        if (value >= 1 && value <= kMaxBlocks) atBlock_[value - 1] = CountedAllocations();
        return false;
    }
    static constexpr int kMaxBlocks = 64;
    std::array<long, kMaxBlocks> atBlock_{};
};

TEST(ProcessFile, NothingIsAllocatedWhileBlocksAreProcessed) {
    const TempFolder folder;
    WriteSoundFile(folder / "in.wav", Wav16(), TransferSignal(30000, 44100));  // 34 blocks
    AllocationProbe probe;
    RunParameters params;
    params.hissHz = 8000;  // with the hiss low-pass
    CountAllocationsOnThisThread(true);
    const StartOutcome run = RunStart(folder / "in.wav", folder.Path(), probe, params);
    CountAllocationsOnThisThread(false);
    ASSERT_EQ(run.result, RunResult::RunOk);
    EXPECT_GT(probe.atBlock_[0], 0) << "the probe must see the run's set-up allocations";
    for (int block = 2; block <= 34; ++block) {
        EXPECT_EQ(probe.atBlock_[block - 1], probe.atBlock_[0]) << "block " << block;
    }
}

// Records the thread's nice value while blocks are processed.
class PriorityProbe : public RunObserver {
  public:
    bool UpdateProgress(std::int64_t) override {
        niceWhileProcessing = CurrentThreadNice();
        return false;
    }
    int niceWhileProcessing = -100;
};

TEST(ProcessFile, ProcessingPassRunsAtLowPriorityAndRestoresIt) {
    const TempFolder folder;
    WriteSoundFile(folder / "in.wav", Wav16(), TransferSignal(8000, 44100));
    std::thread([&] {
        const int before = CurrentThreadNice();
        const bool reversible = CanSetCurrentThreadNice(before);
        PriorityProbe probe;
        ASSERT_EQ(RunStart(folder / "in.wav", folder.Path(), probe).result, RunResult::RunOk);
        EXPECT_EQ(probe.niceWhileProcessing, reversible ? kLowestNormalNice : before);
        EXPECT_EQ(CurrentThreadNice(), before);
    }).join();
}

}  // namespace
}  // namespace sonorel
