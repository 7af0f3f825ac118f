// Go!: every listed file through the per-file run into the output folder,
// with the folder check, the naming rule, the progress dialog and its cancel
// question, the messages after a failure, and the status line.

#include <stdlib.h>

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/slider.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "gui_fixture.h"
#include "pipeline/thread_priority.h"
#include "run_test_support.h"
#include "settings/product.h"
#include "ui/control_ids.h"

namespace sonorel::test {
namespace {

constexpr long kQuestionYesNo = wxYES_NO | wxICON_QUESTION;
constexpr long kStopped = wxOK | wxICON_EXCLAMATION;

class StartCommandTest : public MainWindowTest {
  protected:
    // A stereo input in the test's "in" folder.
    std::filesystem::path Input(const std::string& name, unsigned seed = 1) {
        std::filesystem::create_directories(Folder() / "in");
        auto path = Folder() / "in" / name;
        WriteStereo(path, kInputFrames, seed);
        return path;
    }
    std::filesystem::path MonoInput(const std::string& name) {
        std::filesystem::create_directories(Folder() / "in");
        auto path = Folder() / "in" / name;
        WriteMono(path);
        return path;
    }
    // The test's "out" folder, created, typed as the output folder.
    std::filesystem::path UseOutFolder() {
        auto out = Folder() / "out";
        std::filesystem::create_directories(out);
        Type(wxString::FromUTF8(out.string()));
        return out;
    }
    void List(std::initializer_list<std::filesystem::path> paths) {
        frame->AddFiles(Paths(paths));
        ASSERT_EQ(frame->file_list->GetCount(), paths.size());
    }
    // The settings as the controls hold them now, converted for a run.
    RunParameters Params() const { return frame->ReadSettings().Convert(); }
    std::vector<int> Selection() const {
        wxArrayInt selected;
        frame->file_list->GetSelections(selected);
        return {selected.begin(), selected.end()};
    }
};

// Five files, the second mono: the message after it, and what Yes and No do.
class FiveFilesTest : public StartCommandTest {
  protected:
    void SetUp() override {
        StartCommandTest::SetUp();
        Open();
        List({Input("a.wav", 1), MonoInput("b.wav"), Input("c.wav", 3), Input("d.wav", 4),
              Input("e.wav", 5)});
        out = UseOutFolder();
        SelectFiles({0, 2});
    }
    std::filesystem::path out;
    // The labels' file names, without the batch line under them.
    static std::vector<wxString> Names(std::vector<wxString> labels) {
        for (wxString& label : labels)
            label = label.BeforeFirst('\n');
        return labels;
    }
    wxString NotStereo() const {
        return AboutFile("Input file should be (but is not) stereo. Process remaining files?",
                         Folder() / "in" / "b.wav");
    }
};

TEST_F(FiveFilesTest, YesAfterTheMonoFileProcessesTheRest) {
    RunWatcher watcher(frame);
    DialogAnswers answers;
    answers.Expect([&](wxDialog* dialog) {
        // The failed entry is deselected and stays scrolled to the top.
        EXPECT_TRUE(Selection().empty());
        return MessageBox(NotStereo(), "Continue Sonorel?", kQuestionYesNo, wxID_YES)(dialog);
    });
    Click(frame->go_button);

    EXPECT_EQ(FileNamesIn(out), (std::vector<std::string>{"a.wav", "c.wav", "d.wav", "e.wav"}));
    EXPECT_EQ(Names(watcher.Labels(ProgressKind::Processing)),
              (std::vector<wxString>{"a", "c", "d", "e"}));
    // Each file alone selected while it runs, with its number in the status
    // line; the earlier selection was cleared.
    const std::vector<int> entries = {0, 2, 3, 4};
    ASSERT_EQ(watcher.Displays().size(), entries.size());
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const ProgressView& view = watcher.Displays()[k];
        EXPECT_EQ(view.status, wxString::Format("Processing %d of 5...", entries[k] + 1));
        EXPECT_EQ(view.selection, std::vector<int>{entries[k]});
    }
    EXPECT_EQ(StatusText(), "Processing finished.");
    EXPECT_TRUE(Selection().empty());
    EXPECT_FALSE(frame->remove_button->IsEnabled());
    EXPECT_EQ(frame->file_list->GetCount(), 5u);  // processed files stay listed
}

TEST_F(FiveFilesTest, NoAfterTheMonoFileEndsTheRun) {
    RunWatcher watcher(frame);
    DialogAnswers answers;
    answers.Expect(MessageBox(NotStereo(), "Continue Sonorel?", kQuestionYesNo, wxID_NO));
    Click(frame->go_button);

    EXPECT_EQ(FileNamesIn(out), std::vector<std::string>{"a.wav"});
    EXPECT_EQ(Names(watcher.Labels(ProgressKind::Processing)), std::vector<wxString>{"a"});
    EXPECT_EQ(StatusText(), "Processing finished.");
    EXPECT_TRUE(Selection().empty());
}

TEST_F(StartCommandTest, ProgressDialogIsModalWithCancelAndRemainingTime) {
    Open();
    const auto input = Input("take.wav");
    List({input, input});
    UseOutFolder();
    const int niceBefore = CurrentThreadNice();
    RunWatcher watcher(frame);
    Click(frame->go_button);

    ASSERT_EQ(watcher.Displays().size(), 2u);
    for (const ProgressView& view : watcher.Displays()) {
        EXPECT_EQ(view.kind, ProgressKind::Processing);
        EXPECT_EQ(view.title, "Processing...");
        EXPECT_EQ(view.range, kInputBlocks);
        EXPECT_TRUE(view.hasCancel);
        EXPECT_TRUE(view.showsRemainingTime);
        EXPECT_FALSE(view.showsElapsedTime);
        EXPECT_TRUE(view.parentIsMainWindow);
        EXPECT_FALSE(view.mainWindowEnabled) << "not application-modal";
        EXPECT_FALSE(view.busyCursor) << "the busy cursor covers the analysis pass only";
        // Lowered for the processing pass where it can be restored afterwards.
        EXPECT_EQ(view.niceDuring,
                  niceBefore < kLowestNormalNice && CanSetCurrentThreadNice(niceBefore)
                      ? kLowestNormalNice
                      : niceBefore);
        std::vector<std::int64_t> everyBlock(kInputBlocks);
        for (std::int64_t i = 0; i < kInputBlocks; ++i)
            everyBlock[static_cast<std::size_t>(i)] = i + 1;
        EXPECT_EQ(view.values, everyBlock);
    }
    // The label is the name the output got (the second run finds take.wav
    // taken), over the batch's line: file k of n and the audio already done,
    // then the time left once a second has passed, which depends on the
    // machine's speed and is left out here.
    std::vector<wxString> labels = watcher.Labels(ProgressKind::Processing);
    for (wxString& label : labels) {
        const int timeLeft = label.Find(" - about ");
        if (timeLeft != wxNOT_FOUND) label.Truncate(static_cast<std::size_t>(timeLeft));
    }
    EXPECT_EQ(labels, (std::vector<wxString>{"take\nFile 1 of 2 - 0 % of the batch",
                                             "take-1\nFile 2 of 2 - 50 % of the batch"}));
    EXPECT_EQ(CurrentThreadNice(), niceBefore);
    EXPECT_TRUE(frame->IsEnabled());
    EXPECT_FALSE(wxIsBusy());
}

TEST_F(StartCommandTest, SameInputTwiceGetsTheNextFreeNameAndIsWellFormed) {
    Open();
    const auto input = Input("name.wav");
    List({input, input});
    const auto out = UseOutFolder();
    Click(frame->go_button);

    ASSERT_EQ(FileNamesIn(out), (std::vector<std::string>{"name-1.wav", "name.wav"}));
    const MonoFile reference = ReadMono(ReferenceStart(input, Folder() / "reference", Params()));
    for (const char* name : {"name.wav", "name-1.wav"}) {
        const MonoFile output = ReadMono(out / name);
        ASSERT_TRUE(output.opened) << name;
        EXPECT_EQ(output.format.channels, 1);
        EXPECT_EQ(output.format.sampleRate, kRate);
        EXPECT_EQ(output.format.Encoding(), SampleEncoding::Pcm16);
        EXPECT_EQ(output.format.frames, kInputBlocks * 883);
        EXPECT_EQ(output.comment, kOutputComment);
        EXPECT_EQ(output.samples, reference.samples) << name;
    }
    EXPECT_EQ(StatusText(), "Processing finished.");
}

TEST_F(StartCommandTest, DotPutsEachOutputBesideItsInputUnderAFreeName) {
    Open();
    const auto input = Input("side1.wav");
    List({input});
    Type(".");
    Click(frame->go_button);
    EXPECT_EQ(FileNamesIn(Folder() / "in"), (std::vector<std::string>{"side1-1.wav", "side1.wav"}));

    Click(frame->go_button);
    EXPECT_EQ(FileNamesIn(Folder() / "in"),
              (std::vector<std::string>{"side1-1.wav", "side1-2.wav", "side1.wav"}));
    EXPECT_EQ(frame->output_text->GetValue(), ".");  // "." is never rewritten
}

TEST_F(StartCommandTest, RelativeFolderIsMadeAbsoluteAndCreatedAfterOk) {
    Open();
    std::filesystem::current_path(Folder());
    List({Input("take.wav")});
    Type("new/../out/sub");
    DialogAnswers answers;
    answers.Expect([&](wxDialog* dialog) {
        // Written back before the question is asked.
        EXPECT_EQ(frame->output_text->GetValue(),
                  wxString::FromUTF8((Folder() / "out" / "sub").string()));
        return MessageBox(
            AboutFile("Output folder does not exist. Create it?", Folder() / "out" / "sub"),
            "Create new folder?", wxOK | wxCANCEL | wxICON_QUESTION, wxID_OK)(dialog);
    });
    Click(frame->go_button);

    EXPECT_EQ(FileNamesIn(Folder() / "out" / "sub"), std::vector<std::string>{"take.wav"});
    EXPECT_FALSE(std::filesystem::exists(Folder() / "new"));
    EXPECT_EQ(StatusText(), "Processing finished.");
}

TEST_F(StartCommandTest, CancelAtTheFolderQuestionTouchesNothing) {
    Open();
    std::filesystem::current_path(Folder());
    List({Input("take.wav"), Input("other.wav")});
    SelectFiles({1});
    setenv("SONOREL_TEST_FOLDER", Folder().c_str(), 1);
    Type("$SONOREL_TEST_FOLDER/missing/./sub");
    const wxString statusBefore = StatusText();
    DialogAnswers answers;
    answers.Expect(MessageBox(
        AboutFile("Output folder does not exist. Create it?", Folder() / "missing" / "sub"),
        "Create new folder?", wxOK | wxCANCEL | wxICON_QUESTION, wxID_CANCEL));
    Click(frame->go_button);
    unsetenv("SONOREL_TEST_FOLDER");

    EXPECT_EQ(frame->output_text->GetValue(),
              wxString::FromUTF8((Folder() / "missing" / "sub").string()));
    EXPECT_FALSE(std::filesystem::exists(Folder() / "missing"));
    EXPECT_EQ(FileNamesIn(Folder()), std::vector<std::string>{"in"});
    EXPECT_EQ(FileNamesIn(Folder() / "in"), (std::vector<std::string>{"other.wav", "take.wav"}));
    EXPECT_EQ(StatusText(), statusBefore);
    EXPECT_EQ(Selection(), std::vector<int>{1});
}

TEST_F(StartCommandTest, TildeIsExpandedInTheFolderText) {
    Open();
    List({Input("take.wav")});
    Type("~/sonorel-test-no-such-folder-7f3a");
    DialogAnswers answers;
    answers.Expect([](wxDialog*) { return static_cast<int>(wxID_CANCEL); });
    Click(frame->go_button);
    EXPECT_EQ(frame->output_text->GetValue(), wxGetHomeDir() + "/sonorel-test-no-such-folder-7f3a");
}

TEST_F(StartCommandTest, FolderThatCannotBeCreatedIsReportedAndEndsTheCommand) {
    Open();
    const auto input = Input("take.wav");
    List({input});
    // A regular file stands where a parent folder would have to be.
    Type(wxString::FromUTF8((input / "sub").string()));
    const wxString statusBefore = StatusText();
    DialogAnswers answers;
    answers.Expect([](wxDialog*) { return static_cast<int>(wxID_OK); });
    // The folder, and why.
    answers.Expect(MessageBox(
        AboutFile("Output folder could not be created.", input / "sub") + "\nNot a directory",
        "Sonorel stopped", kStopped, wxID_OK));
    Click(frame->go_button);  // our message only, no logged error from the toolkit

    EXPECT_EQ(answers.ShownCount(), 2);
    EXPECT_EQ(FileNamesIn(Folder() / "in"), std::vector<std::string>{"take.wav"});
    EXPECT_EQ(StatusText(), statusBefore);
}

TEST_F(StartCommandTest, CancelConfirmedLeavesAShorterFileAndAsksToGoOn) {
    Open();
    List({Input("first.wav", 1), Input("second.wav", 2)});
    const auto out = UseOutFolder();
    RunWatcher watcher(frame);
    watcher.CancelAt(0, 10);
    DialogAnswers answers;
    answers.Expect(
        MessageBox("Do you really want to cancel?", "Cancel Sonorel?", kQuestionYesNo, wxID_YES));
    // The partial output is named, not the input.
    answers.Expect(MessageBox(AboutFile("Output file is incomplete. Process remaining files?",
                                        Folder() / "out" / "first.wav"),
                              "Continue Sonorel?", kQuestionYesNo, wxID_YES));
    Click(frame->go_button);

    // Block 10 was written before the cancel was seen.
    const MonoFile cut = ReadMono(out / "first.wav");
    ASSERT_TRUE(cut.opened);
    EXPECT_EQ(cut.format.frames, 10 * 883);
    const MonoFile whole =
        ReadMono(ReferenceStart(Folder() / "in" / "first.wav", Folder() / "ref", Params()));
    EXPECT_TRUE(std::equal(cut.samples.begin(), cut.samples.end(), whole.samples.begin()));
    EXPECT_EQ(ReadMono(out / "second.wav").format.frames, kInputBlocks * 883);
    EXPECT_EQ(StatusText(), "Processing finished.");
}

TEST_F(StartCommandTest, CancelTakenBackLosesNoBlock) {
    Open();
    const auto input = Input("take.wav");
    List({input});
    const auto out = UseOutFolder();
    RunWatcher watcher(frame);
    watcher.CancelAt(0, 10);
    DialogAnswers answers;
    answers.Expect(
        MessageBox("Do you really want to cancel?", "Cancel Sonorel?", kQuestionYesNo, wxID_NO));
    Click(frame->go_button);

    const MonoFile output = ReadMono(out / "take.wav");
    EXPECT_EQ(output.samples, ReadMono(ReferenceStart(input, Folder() / "ref", Params())).samples);
    // Every block once: the cancel seen at block 10 was taken back, and
    // block 11 followed.
    ASSERT_EQ(watcher.Displays().size(), 1u);
    const auto& values = watcher.Displays()[0].values;
    ASSERT_EQ(values.size(), static_cast<std::size_t>(kInputBlocks));
    EXPECT_EQ(values[9], 10);
    EXPECT_EQ(values[10], 11);
    EXPECT_EQ(values.back(), kInputBlocks);
    EXPECT_EQ(StatusText(), "Processing finished.");
}

TEST_F(StartCommandTest, FailureOfTheLastFileIsOnlyReported) {
    Open();
    List({Input("first.wav"), Input("last.wav", 2)});
    const auto out = UseOutFolder();
    RunWatcher watcher(frame);
    watcher.CancelAt(1, 5);
    DialogAnswers answers;
    answers.Expect(
        MessageBox("Do you really want to cancel?", "Cancel Sonorel?", kQuestionYesNo, wxID_YES));
    answers.Expect(MessageBox(AboutFile("Output file is incomplete.", out / "last.wav"),
                              "Sonorel stopped", kStopped, wxID_OK));
    Click(frame->go_button);

    EXPECT_EQ(FileNamesIn(out), (std::vector<std::string>{"first.wav", "last.wav"}));
    EXPECT_EQ(ReadMono(out / "last.wav").format.frames, 5 * 883);
    EXPECT_EQ(StatusText(), "Processing finished.");
}

TEST_F(StartCommandTest, EveryResultHasItsMessageNamingTheFile) {
    Open();
    std::filesystem::create_directories(Folder() / "in");
    const auto tooShort = Folder() / "in" / "short.wav";
    WriteStereo(tooShort, 7059);
    const auto out = UseOutFolder();
    // A folder with the first name the naming rule tries: an exclusive
    // creation skips it, so the output still gets made, as take-1.wav.
    std::filesystem::create_directories(out / "take.wav");
    const auto gone = Input("gone.wav"), mono = MonoInput("mono.wav");
    List({tooShort, gone, mono, Input("take.wav")});
    std::filesystem::remove(gone);
    DialogAnswers answers;
    for (const auto& [sentence, file] : {
             std::pair{"Input file could not be opened or is too short", tooShort},
             std::pair{"Input file no longer exists", gone},
             std::pair{"Input file should be (but is not) stereo", mono},
         }) {
        answers.Expect(
            MessageBox(AboutFile(wxString(sentence) + ". Process remaining files?", file),
                       "Continue Sonorel?", kQuestionYesNo, wxID_YES));
    }
    Click(frame->go_button);
    EXPECT_EQ(FileNamesIn(out), (std::vector<std::string>{"take-1.wav", "take.wav"}));

    // Beside an input whose name is as long as a name may be, the next free
    // name is one too long to create.
    const std::string longName = std::string(255 - 4, 'n') + ".wav";
    Click(frame->remove_all_button);
    const auto longInput = Input(longName);
    List({longInput});
    ClearOutputFolder();
    Type(".");
    answers.Expect(MessageBox(AboutFile("Output file could not be opened.", longInput),
                              "Sonorel stopped", kStopped, wxID_OK));
    Click(frame->go_button);
    EXPECT_EQ(FileNamesIn(Folder() / "in").size(), 4u);  // the inputs only
}

TEST_F(StartCommandTest, SettingsAreReadAtTheStartOfEachFile) {
    Open();
    const auto first = Input("first.wav", 1);
    const auto second = Input("second.wav", 2);
    List({first, second});
    const auto out = UseOutFolder();
    const RunParameters before = Params();
    // While the first file runs, the user cannot reach the sliders; a wizard
    // or the test can. The change must reach the second file only.
    frame->progress_hook = [&](wxProgressDialog&, ProgressKind, std::int64_t value) {
        if (value == 1) frame->gain_slider->SetValue(-6);
    };
    Click(frame->go_button);
    frame->progress_hook = nullptr;

    const RunParameters after = Params();
    ASSERT_NE(after.outputGain, before.outputGain);
    EXPECT_EQ(ReadMono(out / "first.wav").samples,
              ReadMono(ReferenceStart(first, Folder() / "ref", before)).samples);
    EXPECT_EQ(ReadMono(out / "second.wav").samples,
              ReadMono(ReferenceStart(second, Folder() / "ref", after)).samples);
}

TEST_F(StartCommandTest, EmptyListDoesNothing) {
    Open();
    std::filesystem::current_path(Folder());
    Type("relative");
    const wxString statusBefore = StatusText();
    // Go! is disabled with an empty list; the handler is reached directly.
    wxCommandEvent click(wxEVT_BUTTON, ID_GO_BUTTON);
    click.SetEventObject(frame->go_button);
    frame->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(frame->output_text->GetValue(), "relative");
    EXPECT_EQ(StatusText(), statusBefore);
}

}  // namespace
}  // namespace sonorel::test
