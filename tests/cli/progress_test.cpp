#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <sstream>
#include <string>

#include "cli/progress_board.h"
#include "cli/progress_line.h"

namespace sonorel {
namespace {

TEST(ProgressLine, ClockShowsMinutesAndSecondsAndHoursWhenNeeded) {
    EXPECT_EQ(FormatClock(0.0), "0:00");
    EXPECT_EQ(FormatClock(7.9), "0:07");  // whole seconds, rounded down
    EXPECT_EQ(FormatClock(754.0), "12:34");
    EXPECT_EQ(FormatClock(3723.0), "1:02:03");
    EXPECT_EQ(FormatClock(-1.0), "-:--");
    EXPECT_EQ(FormatClock(std::numeric_limits<double>::infinity()), "-:--");
}

TEST(ProgressLine, ProcessingShowsNamePercentElapsedAndRemaining) {
    ProgressSnapshot s;
    s.name = "side1.wav";
    s.phase = ProgressPhase::Processing;
    s.value = 250;
    s.maximum = 1000;
    s.elapsedSeconds = 15.0;
    s.phaseElapsedSeconds = 10.0;  // a quarter in 10 s: 30 s to go
    const std::string line = FormatProgressLine(s, 100);
    EXPECT_EQ(line.rfind("side1.wav  [", 0), 0u) << line;
    EXPECT_NE(line.find(" 25%"), std::string::npos) << line;
    EXPECT_NE(line.find("0:15 elapsed"), std::string::npos) << line;
    EXPECT_NE(line.find("0:30 left"), std::string::npos) << line;
    // A quarter of the bar is filled.
    const std::size_t open = line.find('['), close = line.find(']');
    const std::string bar = line.substr(open + 1, close - open - 1);
    EXPECT_EQ(std::count(bar.begin(), bar.end(), '#'), static_cast<long>(bar.size() / 4)) << bar;
}

TEST(ProgressLine, NamesArePaddedSoThatBarsLineUp) {
    ProgressSnapshot a, b;
    a.name = "a.wav";
    b.name = "longer-name.wav";
    a.phase = b.phase = ProgressPhase::Processing;
    a.nameColumns = b.nameColumns = b.name.size();
    a.maximum = b.maximum = 10;
    EXPECT_EQ(FormatProgressLine(a, 80).find('['), FormatProgressLine(b, 80).find('['));
    EXPECT_EQ(FormatProgressLine(a, 80).size(), FormatProgressLine(b, 80).size());
}

TEST(ProgressLine, RemainingTimeIsUnknownBeforeTheFirstBlock) {
    ProgressSnapshot s;
    s.name = "a";
    s.phase = ProgressPhase::Processing;
    s.maximum = 10;
    EXPECT_NE(FormatProgressLine(s, 80).find("-:-- left"), std::string::npos);
}

TEST(ProgressLine, AnalysingAndPlayingSayWhatHappens) {
    ProgressSnapshot s;
    s.name = "a.wav";
    s.phase = ProgressPhase::Analysing;
    s.elapsedSeconds = 3.0;
    EXPECT_EQ(FormatProgressLine(s, 80), "a.wav  analysing  0:03 elapsed");
    s.phase = ProgressPhase::Playing;
    s.value = 5;
    s.maximum = 10;
    const std::string playing = FormatProgressLine(s, 80);
    EXPECT_NE(playing.find(" 50%  playing  0:03 elapsed"), std::string::npos) << playing;
}

// A line as wide as the terminal would wrap and break the in-place redraw.
TEST(ProgressLine, NeverReachesTheTerminalWidth) {
    ProgressSnapshot s;
    s.name = std::string(200, 'n') + "\xC3\xA9";  // long, ending in a two-byte character
    s.phase = ProgressPhase::Processing;
    s.value = 1;
    s.maximum = 3;
    s.phaseElapsedSeconds = 1e6;
    for (const int width : {1, 10, 40, 80, 300}) {
        EXPECT_LT(FormatProgressLine(s, width).size(), static_cast<std::size_t>(std::max(width, 2)))
            << width;
    }
    // A name cut short is marked, and not cut inside a character.
    s.name = std::string(23, 'x') + "\xC3\xA9\xC3\xA9\xC3\xA9";
    const std::string line = FormatProgressLine(s, 120);
    EXPECT_NE(line.find("xxx\xC3\xA9..."), std::string::npos) << line;
}

TEST(ProgressBoard, WithoutBarsReportLinesArePlain) {
    std::ostringstream out;
    ProgressBoard board(nullptr);
    ProgressBoard::Slot* slot = board.Open("a.wav");
    board.Begin(slot, ProgressPhase::Processing, 10);
    board.Update(slot, 5);
    board.Print(out, "a.wav -> /out/a.wav");
    board.Close(slot);
    EXPECT_FALSE(board.ShowsBars());
    EXPECT_EQ(out.str(), "a.wav -> /out/a.wav\n");
}

// With bars, a report line is written after the progress lines were cleared
// (cursor up over them, clear to the end of the screen), and they come back
// below it; closing the last file clears them for good.
TEST(ProgressBoard, WithBarsReportsGoAboveTheProgressLines) {
    std::ostringstream terminal;
    {
        ProgressBoard board(&terminal, 80);
        ProgressBoard::Slot* a = board.Open("a.wav");
        ProgressBoard::Slot* b = board.Open("b.wav");
        board.Begin(a, ProgressPhase::Processing, 10);
        terminal.str("");
        board.Print(terminal, "b.wav: Output file is incomplete");
        const std::string shown = terminal.str();
        EXPECT_EQ(shown.rfind("\r\x1b[2A\x1b[J", 0), 0u) << shown;
        const std::size_t report = shown.find("b.wav: Output file is incomplete\n");
        ASSERT_NE(report, std::string::npos);
        EXPECT_NE(shown.find("\x1b[2Ka.wav  [", report), std::string::npos) << shown;
        EXPECT_NE(shown.find("\x1b[2Kb.wav  starting", report), std::string::npos) << shown;
        board.Close(a);
        board.Close(b);
        terminal.str("");
    }
    EXPECT_EQ(terminal.str(), "");  // nothing left to erase
}

}  // namespace
}  // namespace sonorel
