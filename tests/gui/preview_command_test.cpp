// Preview: the selected (or every) listed file processed from its start and
// played on a line the test keeps, with the "Playing..." dialog, the
// messages after a failure and the status line.

#include <algorithm>

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/slider.h>

#include "gui_fixture.h"
#include "pipeline/output_naming.h"
#include "pipeline/playback.h"
#include "pipeline/process_file.h"
#include "run_test_support.h"
#include "ui/control_ids.h"

namespace sonorel::test {
namespace {

constexpr long kQuestionYesNo = wxYES_NO | wxICON_QUESTION;
constexpr long kStopped = wxOK | wxICON_INFORMATION;

// A 1.5 s file at 44100 Hz has 75 blocks; its preview holds the whole chunks
// of 8 blocks among them: 72 blocks, 9 chunks of 7064 samples.
constexpr std::int64_t kPreviewBlocks = 72;
constexpr std::int64_t kPreviewChunks = 9;
constexpr std::size_t kPreviewSamples = kPreviewChunks * 7064;

class PreviewCommandTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
        frame->preview_output = &line;
        frame->duration_slider->SetValue(10);  // the shortest preview time
    }

    // Stereo inputs (seeds 1, 2, ...) or a mono one, listed in this order.
    void List(std::initializer_list<const char*> names, const char* mono = "") {
        wxArrayString paths;
        unsigned seed = 1;
        for (const char* name : names) {
            const auto path = Folder() / name;
            if (std::string(name) == mono) {
                WriteMono(path);
            } else {
                WriteStereo(path, kInputFrames, seed++);
            }
            paths.Add(wxString::FromUTF8(path.string()));
        }
        frame->AddFiles(paths);
    }

    std::vector<int> Selection() const {
        wxArrayInt selected;
        frame->file_list->GetSelections(selected);
        return {selected.begin(), selected.end()};
    }

    // What the preview of `name` plays with the current settings, straight
    // through the per-file run.
    std::vector<std::int16_t> ReferencePlayback(const char* name) {
        FakePlaybackOutput reference;
        PreviewBuffer preview;
        EXPECT_EQ(ReferencePreview(Folder() / name, frame->ReadSettings().Convert(), preview),
                  RunResult::RunOk);
        RunObserver quiet;
        EXPECT_EQ(PlayPreview(reference, quiet, preview), RunResult::RunOk);
        return reference.Samples();
    }

    FakePlaybackOutput line;
};

TEST_F(PreviewCommandTest, TwoSelectedOfFourArePreviewedAndStaySelected) {
    List({"a.wav", "b.wav", "c.wav", "d.wav"});
    SelectFiles({3, 1});
    RunWatcher watcher(frame);
    Click(frame->preview_button);

    EXPECT_EQ(watcher.Labels(ProgressKind::Processing), (std::vector<wxString>{"b", "d"}));
    EXPECT_EQ(watcher.Labels(ProgressKind::Playing), (std::vector<wxString>{"b", "d"}));
    ASSERT_EQ(watcher.Displays().size(), 4u);
    EXPECT_EQ(watcher.Displays()[0].status, "Processing 1 of 2...");
    EXPECT_EQ(watcher.Displays()[2].status, "Processing 2 of 2...");
    for (const ProgressView& view : watcher.Displays())
        EXPECT_EQ(view.selection, (std::vector<int>{1, 3}));
    EXPECT_EQ(StatusText(), "Preview finished.");
    EXPECT_EQ(Selection(), (std::vector<int>{1, 3}));

    std::vector<std::int16_t> expected = ReferencePlayback("b.wav");
    const std::vector<std::int16_t> fourth = ReferencePlayback("d.wav");
    expected.insert(expected.end(), fourth.begin(), fourth.end());
    EXPECT_EQ(line.Samples(), expected);
    EXPECT_EQ(line.SampleRate(), kRate);
}

TEST_F(PreviewCommandTest, DialogsOfProcessingAndPlaying) {
    List({"take.wav"});
    RunWatcher watcher(frame);
    Click(frame->preview_button);

    ASSERT_EQ(watcher.Displays().size(), 2u);
    const ProgressView& processing = watcher.Displays()[0];
    EXPECT_EQ(processing.title, "Processing...");
    EXPECT_EQ(processing.message, "take");
    EXPECT_EQ(processing.range, kPreviewBlocks);
    EXPECT_TRUE(processing.showsRemainingTime);

    const ProgressView& playing = watcher.Displays()[1];
    EXPECT_EQ(playing.kind, ProgressKind::Playing);
    EXPECT_EQ(playing.title, "Playing...");
    EXPECT_EQ(playing.message, "take");
    EXPECT_EQ(playing.range, kPreviewChunks);
    EXPECT_TRUE(playing.showsElapsedTime);
    EXPECT_FALSE(playing.showsRemainingTime);
    for (const ProgressView& view : watcher.Displays()) {
        EXPECT_TRUE(view.hasCancel);
        EXPECT_TRUE(view.parentIsMainWindow);
        EXPECT_FALSE(view.mainWindowEnabled) << "not application-modal";
    }
    // The last move shows every chunk handed to the line.
    EXPECT_EQ(playing.values.back(), kPreviewChunks);
    EXPECT_EQ(line.Samples().size(), kPreviewSamples);
    EXPECT_EQ(StatusText(), "Preview finished.");
}

TEST_F(PreviewCommandTest, NothingSelectedPreviewsEveryFileInListOrder) {
    List({"a.wav", "b.wav", "c.wav"});
    RunWatcher watcher(frame);
    Click(frame->preview_button);
    EXPECT_EQ(watcher.Labels(ProgressKind::Playing), (std::vector<wxString>{"a", "b", "c"}));
    EXPECT_EQ(line.Samples().size(), 3 * kPreviewSamples);
    EXPECT_TRUE(Selection().empty());
    EXPECT_EQ(StatusText(), "Preview finished.");
}

TEST_F(PreviewCommandTest, NoAfterAMonoFileEndsThePreview) {
    List({"a.wav", "b.wav", "c.wav"}, "b.wav");
    RunWatcher watcher(frame);
    DialogAnswers answers;
    answers.Expect(
        MessageBox(AboutFile("Input file should be (but is not) stereo. Process remaining "
                             "files?",
                             Folder() / "b.wav"),
                   "Continue Sonorel?", kQuestionYesNo, wxID_NO));
    Click(frame->preview_button);
    EXPECT_EQ(watcher.Labels(ProgressKind::Playing), std::vector<wxString>{"a"});
    EXPECT_EQ(StatusText(), "Preview finished.");
}

TEST_F(PreviewCommandTest, CancelWhileProcessingAsksNothingAndPlaysNothing) {
    List({"a.wav", "b.wav"});
    RunWatcher watcher(frame);
    watcher.CancelAt(0, 5);
    DialogAnswers answers;
    answers.Expect(
        MessageBox(AboutFile("Preview cancelled. Process remaining files?", Folder() / "a.wav"),
                   "Continue Sonorel?", kQuestionYesNo, wxID_YES));
    Click(frame->preview_button);

    EXPECT_EQ(watcher.Labels(ProgressKind::Processing), (std::vector<wxString>{"a", "b"}));
    EXPECT_EQ(watcher.Labels(ProgressKind::Playing), std::vector<wxString>{"b"});
    EXPECT_EQ(line.Samples(), ReferencePlayback("b.wav"));
}

TEST_F(PreviewCommandTest, CancelWhilePlayingTheLastFileIsReported) {
    List({"take.wav"});
    RunWatcher watcher(frame);
    // The first chunk is held in the line until Cancel has been pressed, so
    // that the dialog is surely still up when the test presses it.
    line.HoldWrites();
    watcher.CancelAt(1, 0);
    frame->progress_hook = [inner = frame->progress_hook, this](
                               wxProgressDialog& dialog, ProgressKind kind, std::int64_t value) {
        inner(dialog, kind, value);
        if (kind == ProgressKind::Playing) line.ReleaseWrites();
    };
    DialogAnswers answers;
    answers.Expect(MessageBox(AboutFile("Preview cancelled.", Folder() / "take.wav"),
                              "Preview stopped", kStopped, wxID_OK));
    Click(frame->preview_button);

    // Where exactly playback stopped depends on the playback thread; it
    // played whole chunks from the start of the preview.
    const std::vector<std::int16_t> played = line.Samples();
    const std::vector<std::int16_t> preview = ReferencePlayback("take.wav");
    EXPECT_EQ(played.size() % 7064, 0u);
    EXPECT_GE(played.size(), 7064u);
    ASSERT_LE(played.size(), preview.size());
    EXPECT_TRUE(std::equal(played.begin(), played.end(), preview.begin()));
    EXPECT_EQ(StatusText(), "Preview finished.");
}

TEST_F(PreviewCommandTest, LineThatCannotBeOpenedIsAProblemPlayingPreview) {
    List({"a.wav", "b.wav"});
    line.openSucceeds = false;
    DialogAnswers answers;
    answers.Expect(MessageBox(
        AboutFile("Problem playing preview. Process remaining files?", Folder() / "a.wav"),
        "Continue Sonorel?", kQuestionYesNo, wxID_YES));
    answers.Expect(MessageBox(AboutFile("Problem playing preview.", Folder() / "b.wav"),
                              "Preview stopped", kStopped, wxID_OK));
    Click(frame->preview_button);
    EXPECT_EQ(line.Opens(), 2);
    EXPECT_EQ(StatusText(), "Preview finished.");
}

TEST_F(PreviewCommandTest, TooShortLastFileIsReported) {
    WriteStereo(Folder() / "short.wav", 7059);
    frame->AddFiles(Paths({Folder() / "short.wav"}));
    DialogAnswers answers;
    answers.Expect(MessageBox(
        AboutFile("Input file could not be opened or is too short.", Folder() / "short.wav"),
        "Preview stopped", kStopped, wxID_OK));
    Click(frame->preview_button);
    EXPECT_EQ(StatusText(), "Preview finished.");
}

TEST_F(PreviewCommandTest, EmptyListFinishesAtOnce) {
    // Preview is disabled with an empty list; the handler is reached directly.
    wxCommandEvent click(wxEVT_BUTTON, ID_PREVIEW_BUTTON);
    click.SetEventObject(frame->preview_button);
    frame->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(StatusText(), "Preview finished.");
}

}  // namespace
}  // namespace sonorel::test
