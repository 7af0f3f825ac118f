// The source of a playing preview switched by a user: the S key, or a click
// on the "Playing..." dialog's source button, through the X server (see
// user_input.h). The line holds its first chunk until the dialog has taken
// the request, so the switch comes at the second chunk, every time.

#include <algorithm>

#include <wx/button.h>
#include <wx/progdlg.h>
#include <wx/slider.h>
#include <wx/uiaction.h>

#include "gui_fixture.h"
#include "pipeline/playback.h"
#include "pipeline/process_file.h"
#include "run_test_support.h"
#include "ui/gui_run_observer.h"
#include "user_input.h"

namespace sonorel::test {
namespace {

// A 1.5 s input at the shortest preview time: 9 chunks.
constexpr std::size_t kChunks = 9;
constexpr auto kChunk = static_cast<std::size_t>(kPlaybackChunkSamples);
// Polls of 125 ms before the test gives up waiting for the dialog.
constexpr int kPatiencePolls = 80;

class RealInputPreviewTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
        frame->duration_slider->SetValue(10);
        WriteStereo(Folder() / "take.wav");
        frame->AddFiles(Paths({Folder() / "take.wav"}));
    }

    PreviewBuffer Reference() {
        PreviewBuffer preview;
        EXPECT_EQ(ReferencePreview(Folder() / "take.wav", frame->ReadSettings().Convert(), preview),
                  RunResult::RunOk);
        return preview;
    }
};

TEST_F(RealInputPreviewTest, TheKeyOrTheSourceButtonSwitchesToTheOriginalAtTheNextChunk) {
    for (const bool byKey : {true, false}) {
        SCOPED_TRACE(byKey ? "S key" : "source button");
        FakePlaybackOutput line;
        frame->preview_output = &line;
        line.HoldWrites();
        enum class Step { Ask, AwaitTaken, Playing } step = Step::Ask;
        int polls = 0;
        std::vector<wxString> labels;
        wxUIActionSimulator mouse;
        frame->progress_hook = [&](wxProgressDialog& dialog, ProgressKind kind, std::int64_t) {
            if (kind != ProgressKind::Playing) return;
            auto* button = dynamic_cast<wxButton*>(dialog.FindWindow("source_button"));
            ASSERT_NE(button, nullptr);
            labels.push_back(button->GetLabel());
            if (++polls > kPatiencePolls) line.ReleaseWrites();  // fail, but end
            if (step == Step::Ask && UserInput::Focused(dialog)) {
                if (byKey) {
                    mouse.Char('s');
                } else {
                    const wxSize size = button->GetSize();
                    mouse.MouseMove(button->ClientToScreen(wxPoint(size.x / 2, size.y / 2)));
                    mouse.MouseClick();
                }
                step = Step::AwaitTaken;
            } else if (step == Step::AwaitTaken &&
                       button->GetLabel() == "Source: Restored (next: Original)") {
                line.ReleaseWrites();
                step = Step::Playing;
            }
        };
        Click(frame->preview_button);
        frame->progress_hook = nullptr;
        frame->preview_output = nullptr;

        EXPECT_EQ(labels.front(), "Source: Restored");
        EXPECT_NE(std::find(labels.begin(), labels.end(), "Source: Original"), labels.end());
        const PreviewBuffer reference = Reference();
        const std::vector<std::int16_t> played = line.Samples();
        ASSERT_EQ(played.size(), kChunks * kChunk);
        // Chunk 0 restored, chunk 1 faded into the original, the original after.
        EXPECT_TRUE(std::equal(played.begin(), played.begin() + kChunk, reference.samples.begin()));
        const std::size_t faded = kChunk + kPreviewCrossfadeSamples - 1;
        EXPECT_TRUE(
            std::equal(played.begin() + faded, played.end(), reference.original.begin() + faded));
    }
}

}  // namespace
}  // namespace sonorel::test
