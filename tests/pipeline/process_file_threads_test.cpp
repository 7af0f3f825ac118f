// A run on two threads restores exactly what a run on one does: every
// sample, bit for bit, for every setting, format and length, from the first
// (silent) blocks to the drained end; and it counts the same clicks, repairs
// and failed solves per channel.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "pipeline/process_file.h"
#include "pipeline/run_summary.h"
#include "support/run_helpers.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

using namespace sonorel::test;

struct ThreadsCase {
    const char* name;
    std::int64_t frames;
    bool floatSamples;
    RunParameters params;
};

struct Restored {
    std::vector<float> samples;
    RunSummary summary;
};

Restored Restore(const std::filesystem::path& input, const std::filesystem::path& folder,
                 const RunParameters& params, int threads) {
    std::filesystem::create_directory(folder);
    RunRequest request;
    request.input = input;
    request.params = params;
    request.threads = threads;
    Restored restored;
    request.summary = &restored.summary;
    RunObserver quiet;
    const StartOutcome run = RunStart(std::move(request), folder, quiet);
    EXPECT_EQ(run.result, RunResult::RunOk);
    restored.samples = ReadMono(run.output).samples;
    return restored;
}

TEST(ProcessFileThreads, TwoThreadsRestoreBitForBitWhatOneDoes) {
    const RunParameters defaults;
    RunParameters hard;
    hard.clickAmount = 1.0f;
    hard.noiseAmount = 1.0f;
    hard.distortionAmount = 1.0f;
    hard.hissHz = 6000;
    hard.rumbleHz = 120;
    RunParameters antiPhaseVocal;
    antiPhaseVocal.antiPhase = true;
    antiPhaseVocal.channelFunction = ChannelFunction::VocalRemover;
    antiPhaseVocal.bassLiftDb = 9;
    antiPhaseVocal.trebleLiftDb = -9;
    RunParameters antiPhaseKeepLevel;
    antiPhaseKeepLevel.antiPhase = true;
    antiPhaseKeepLevel.keepOriginalLevel = true;
    antiPhaseKeepLevel.hissHz = 24000;  // the hiss low-pass off
    antiPhaseKeepLevel.clickAmount = 0.0f;
    RunParameters vocalGain;
    vocalGain.channelFunction = ChannelFunction::VocalRemover;
    vocalGain.outputGain = 3.981f;  // +12 dB
    const std::vector<ThreadsCase> cases{
        {"the shortest file, 7060 frames", 7060, false, defaults},
        {"7060 frames, every stage at full strength", 7060, true, hard},
        {"a few blocks and a partial one", 7060 + 5 * 883 + 17, true, antiPhaseVocal},
        {"three seconds, anti-phase, original level", 3 * 44100, true, antiPhaseKeepLevel},
        {"three seconds, vocal remover, +12 dB", 3 * 44100, false, vocalGain},
        {"five seconds, defaults", 5 * 44100, true, defaults},
    };
    const TempFolder folder;
    unsigned seed = 1;
    for (const ThreadsCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto input = folder / ("in" + std::to_string(seed) + ".wav");
        WriteSoundFile(input, c.floatSamples ? FloatWav() : Wav16(),
                       TransferSignal(c.frames, 44100, seed++));
        const Restored oneRun = Restore(input, folder / "one", c.params, 1);
        const Restored twoRun = Restore(input, folder / "two", c.params, 2);
        for (int channel = 0; channel < 2; ++channel) {
            const ChannelCounts& a = oneRun.summary.channels[channel];
            const ChannelCounts& b = twoRun.summary.channels[channel];
            EXPECT_EQ(a.clicksDetected, b.clicksDetected) << "channel " << channel;
            EXPECT_EQ(a.samplesRepaired, b.samplesRepaired) << "channel " << channel;
            EXPECT_EQ(a.failedSolves, b.failedSolves) << "channel " << channel;
        }
        const std::vector<float>& one = oneRun.samples;
        const std::vector<float>& two = twoRun.samples;
        ASSERT_EQ(one.size(), two.size());
        ASSERT_FALSE(one.empty());
        // Identical silence would prove nothing: the sound must come through.
        EXPECT_NE(std::count_if(one.begin(), one.end(), [](float v) { return v != 0.0f; }), 0);
        EXPECT_EQ(std::memcmp(one.data(), two.data(), one.size() * sizeof(float)), 0);
    }
}

}  // namespace
}  // namespace sonorel
