// The batch line: the fraction counts each file by its audio length, and the
// time left is the audio still to do at the speed gone so far.

#include "ui/batch_progress.h"

#include <gtest/gtest.h>

namespace sonorel {
namespace {

using Clock = BatchProgress::Clock;
using std::chrono::seconds;

TEST(BatchProgress, LineWeighsFilesByTheirAudio) {
    const Clock::time_point start{};
    struct Case {
        std::vector<double> audioSeconds;
        std::size_t file;
        double fileFraction;
        Clock::time_point now;
        const char* line;
    };
    const Case cases[] = {
        // A long file ahead counts for what it is: 10 s of 100 s done.
        {{10.0, 90.0},
         1,
         0.0,
         start + seconds(5),
         "File 2 of 2 - 10 % of the batch - about 45 s left"},
        {{30.0, 30.0, 60.0},
         2,
         0.5,
         start + seconds(60),
         "File 3 of 3 - 75 % of the batch - about 20 s left"},
        // No speed to go by yet.
        {{10.0, 10.0}, 0, 0.5, start, "File 1 of 2 - 25 % of the batch"},
        // Lengths unknown: the files count alike.
        {{0.0, 0.0, 0.0, 0.0},
         1,
         0.0,
         start + seconds(100),
         "File 2 of 4 - 25 % of the batch - about 5 min 00 s left"},
        {{1.0}, 0, 1.0, start + seconds(7300), "File 1 of 1 - 100 % of the batch - about 0 s left"},
    };
    for (const Case& c : cases) {
        BatchProgress progress(c.audioSeconds, start);
        progress.BeginFile(c.file);
        EXPECT_EQ(progress.Line(c.fileFraction, c.now), c.line);
    }
    EXPECT_EQ(DurationText(7500.0), "about 2 h 05 min");
}

}  // namespace
}  // namespace sonorel
