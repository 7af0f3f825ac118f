// The click flags a block tap sees (what pictures mark) belong to the input
// frames of the clicks, for either method and its own lag.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include "pipeline/process_file.h"
#include "support/run_helpers.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"
#include "support/test_signals.h"

namespace sonorel {
namespace {

using namespace sonorel::test;

constexpr int kRate = 44100;
constexpr std::int64_t kFrames = 66150;

// The one-wall clicks of TransferSignal, per wall, but the one at frame 0.
std::array<std::vector<std::int64_t>, 2> Clicks() {
    std::array<std::vector<std::int64_t>, 2> clicks;
    for (int c = 0; c < 2; ++c) {
        for (std::int64_t f = 1; f < kFrames; ++f) {
            if ((f + 997 * c) % 4409 == 0) clicks[c].push_back(f);
        }
    }
    return clicks;
}

// The input frames whose flags the tap saw, per channel, by the lag it was
// told.
class FlagFrames final : public BlockTap {
  public:
    void Begin(const TapSetup& setup) override { setup_ = setup; }
    void Block(const TapBlock& block) override {
        for (int c = 0; c < 2; ++c) {
            for (int d = 0; d < kBlockLength; ++d) {
                if (block.counts.clicks[c].newFlags[d] != 0)
                    frames[c].insert(block.index * kBlockLength + d - setup_.flagLagFrames);
            }
        }
    }
    void End(const RunSummary&) override {}

    std::array<std::set<std::int64_t>, 2> frames;

  private:
    TapSetup setup_;
};

std::int64_t Distance(const std::set<std::int64_t>& frames, std::int64_t frame) {
    std::int64_t best = kFrames;
    for (const std::int64_t f : frames)
        best = std::min(best, std::abs(f - frame));
    return best;
}

struct MarksCase {
    const char* name;
    RestorationMethod method;
    bool findsEveryClick;  // the classic detector at its defaults finds one of these a wall
};

void PrintTo(const MarksCase& c, std::ostream* os) {
    *os << c.name;
}

class ClickMarks : public ::testing::TestWithParam<MarksCase> {};

TEST_P(ClickMarks, FlagsLieAtTheClicksOfTheirOwnWall) {
    const TempFolder folder;
    const auto input = folder / "clicks.wav";
    WriteSoundFile(input, SoundFormat::Make(HeaderType::Wav, SampleEncoding::Pcm16, kRate, 2),
                   TransferSignal(kFrames, kRate));
    FlagFrames tap;
    RunRequest request;
    request.input = input;
    request.params.method = GetParam().method;
    request.tap = &tap;
    request.archive.align = true;  // so the last input frames come out
    RunObserver quiet;
    ASSERT_EQ(RunStart(request, folder.Path(), quiet).result, RunResult::RunOk);

    const auto clicks = Clicks();
    for (int c = 0; c < 2; ++c) {
        std::int64_t found = 0;
        for (const std::int64_t click : clicks[c])
            found += Distance(tap.frames[c], click) <= 16 ? 1 : 0;
        EXPECT_EQ(found, GetParam().findsEveryClick ? std::ssize(clicks[c]) : 1) << "wall " << c;
        for (const std::int64_t frame : tap.frames[c]) {
            std::int64_t nearest = kFrames;
            for (const std::int64_t click : clicks[c])
                nearest = std::min(nearest, std::abs(frame - click));
            EXPECT_LE(nearest, 32) << "wall " << c << ", flag at " << frame;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, ClickMarks,
                         ::testing::Values(MarksCase{"Classic", RestorationMethod::Classic, false},
                                           MarksCase{"Enhanced", RestorationMethod::Enhanced,
                                                     true}));

}  // namespace
}  // namespace sonorel
