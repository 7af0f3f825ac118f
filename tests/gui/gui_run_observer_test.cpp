// The desktop program's view of a run, driven directly: the busy cursor,
// a progress maximum beyond the gauge's int range, and what the observer
// cleans up when a run leaves something open.

#include <limits>

#include <wx/progdlg.h>
#include <wx/utils.h>

#include "gui_fixture.h"
#include "ui/gui_run_observer.h"

namespace sonorel::test {
namespace {

using GuiRunObserverTest = MainWindowTest;

TEST_F(GuiRunObserverTest, BusyCursorFromBeginToEndAndNoLonger) {
    Open();
    {
        GuiRunObserver observer(frame);
        EXPECT_FALSE(wxIsBusy());
        observer.BeginBusy();
        EXPECT_TRUE(wxIsBusy());
        observer.EndBusy();
        EXPECT_FALSE(wxIsBusy());

        observer.BeginBusy();
    }
    EXPECT_FALSE(wxIsBusy()) << "a busy cursor outlived its run";
}

TEST_F(GuiRunObserverTest, DialogLeftOpenIsClosedWithTheObserver) {
    Open();
    {
        GuiRunObserver observer(frame);
        observer.BeginProgress(ProgressKind::Playing, "take", 9);
        EXPECT_FALSE(frame->IsEnabled());
    }
    EXPECT_TRUE(frame->IsEnabled()) << "the main window stayed disabled";
}

TEST_F(GuiRunObserverTest, MaximumBeyondTheGaugeRangeIsShownInProportion) {
    Open();
    // Only a damaged header could claim this many blocks; the dialog must
    // still count up to its end instead of failing an assertion.
    constexpr std::int64_t kBlocks = 5'000'000'000;
    std::vector<int> gaugeRanges;
    std::vector<int> gaugeValues;
    GuiRunObserver observer(frame, [&](wxProgressDialog& dialog, ProgressKind, std::int64_t) {
        gaugeRanges.push_back(dialog.GetRange());
        gaugeValues.push_back(dialog.GetValue());  // where the last move put it
    });
    observer.BeginProgress(ProgressKind::Processing, "huge", kBlocks);
    EXPECT_FALSE(observer.UpdateProgress(kBlocks / 2));
    EXPECT_FALSE(observer.UpdateProgress(kBlocks / 2 + 1));
    EXPECT_FALSE(observer.UpdateProgress(kBlocks));
    observer.EndProgress();

    constexpr int kIntMax = std::numeric_limits<int>::max();
    ASSERT_EQ(gaugeRanges.size(), 3u);
    EXPECT_EQ(gaugeRanges[0], kIntMax);
    // Half way, to within the rounding of one step.
    EXPECT_NEAR(gaugeValues[1], kIntMax / 2.0, 1);
    EXPECT_TRUE(frame->IsEnabled());
}

}  // namespace
}  // namespace sonorel::test
