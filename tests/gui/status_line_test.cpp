// The four states of the status line, what each enables, where the focus
// and the default button go, and the list commands that move between them.

#include <sys/stat.h>

#include <wx/button.h>
#include <wx/dnd.h>
#include <wx/listbox.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include "gui_fixture.h"

namespace sonorel::test {
namespace {

constexpr const char* kNeedBoth = "Select input files and output folder...";
constexpr const char* kNeedFiles = "Select the input files...";
constexpr const char* kNeedFolder = "Select an output folder...";
constexpr const char* kReady = "Ready to go!";

class StatusLineTest : public MainWindowTest {
  protected:
    void Drop(const wxArrayString& names) {
        auto* target = dynamic_cast<wxFileDropTarget*>(frame->file_list->GetDropTarget());
        ASSERT_NE(target, nullptr) << "the file list accepts no drops";
        EXPECT_TRUE(target->OnDropFiles(10, 10, names));
    }

    // Preview, Go! and Remove All, in that order.
    std::vector<bool> RunButtons() const {
        return {frame->preview_button->IsEnabled(), frame->go_button->IsEnabled(),
                frame->remove_all_button->IsEnabled()};
    }
    std::vector<bool> SelectionButtons() const {
        return {frame->deselect_button->IsEnabled(), frame->remove_button->IsEnabled()};
    }
};

const std::vector<bool> kNone{false, false, false};
const std::vector<bool> kPreviewOnly{true, false, true};
const std::vector<bool> kAll{true, true, true};

TEST_F(StatusLineTest, FirstStartAsksForBothWithTheFocusInTheOutputFolder) {
    Open();
    EXPECT_EQ(StatusText(), kNeedBoth);
    EXPECT_EQ(RunButtons(), kNone);
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{false, false}));
    EXPECT_TRUE(frame->wizard_button->IsEnabled());
    EXPECT_EQ(DefaultButton(), frame->add_button);
    EXPECT_EQ(wxWindow::FindFocus(), frame->output_text);
}

TEST_F(StatusLineTest, StoredOutputFolderAsksOnlyForFiles) {
    WriteSettings("Output=/tmp/restored\n");
    Open();
    EXPECT_EQ(frame->OutputFolder(), "/tmp/restored");
    EXPECT_EQ(StatusText(), kNeedFiles);
    EXPECT_EQ(RunButtons(), kNone);
    EXPECT_EQ(DefaultButton(), frame->add_button);
}

TEST_F(StatusLineTest, StoredEmptyOutputFolderAsksForBoth) {
    WriteSettings("Output=\n");
    Open();
    EXPECT_EQ(StatusText(), kNeedBoth);
}

TEST_F(StatusLineTest, FilesFirstThenFolderMovesTheDefaultToGo) {
    Open();
    frame->AddFiles(Paths({MakeFile("a.wav")}));
    EXPECT_EQ(StatusText(), kNeedFolder);
    EXPECT_EQ(RunButtons(), kPreviewOnly);
    EXPECT_EQ(DefaultButton(), frame->add_button);

    Type("o");
    EXPECT_EQ(StatusText(), kReady);
    EXPECT_EQ(RunButtons(), kAll);
    EXPECT_EQ(DefaultButton(), frame->go_button);

    // Further typing leaves the state, and so the default, alone.
    Type("ut");
    EXPECT_EQ(DefaultButton(), frame->go_button);

    ClearOutputFolder();
    EXPECT_EQ(StatusText(), kNeedFolder);
    EXPECT_EQ(RunButtons(), kPreviewOnly);
    EXPECT_EQ(DefaultButton(), frame->add_button);
}

TEST_F(StatusLineTest, FolderFirstThenFilesKeepsTheDefaultOnAdd) {
    Open();
    Type("out");
    EXPECT_EQ(StatusText(), kNeedFiles);
    EXPECT_EQ(RunButtons(), kNone);
    frame->AddFiles(Paths({MakeFile("a.wav")}));
    EXPECT_EQ(StatusText(), kReady);
    EXPECT_EQ(RunButtons(), kAll);
    EXPECT_EQ(DefaultButton(), frame->add_button);
    EXPECT_EQ(wxWindow::FindFocus(), frame->output_text);
}

TEST_F(StatusLineTest, StoredFolderCountsAsSuppliedBeforeTheFiles) {
    WriteSettings("Output=/tmp/restored\n");
    Open();
    frame->AddFiles(Paths({MakeFile("a.wav")}));
    EXPECT_EQ(StatusText(), kReady);
    EXPECT_EQ(DefaultButton(), frame->add_button);
}

TEST_F(StatusLineTest, UnchangedStateLeavesAnotherStatusTextAlone) {
    Open();
    frame->AddFiles(Paths({MakeFile("a.wav")}));
    Type("out");
    frame->status_line->SetStatusText("Processing finished.", 0);
    frame->AddFiles(Paths({MakeFile("b.wav")}));
    Type("put");
    EXPECT_EQ(StatusText(), "Processing finished.");
    Click(frame->remove_all_button);
    EXPECT_EQ(StatusText(), kNeedFiles);
}

TEST_F(StatusLineTest, SelectingEnablesDeselectAndRemoveOnly) {
    Open();
    frame->AddFiles(Paths({MakeFile("a.wav"), MakeFile("b.wav"), MakeFile("c.wav")}));
    SelectFiles({0, 2});
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{true, true}));
    EXPECT_EQ(StatusText(), kNeedFolder);

    Click(frame->deselect_button);
    wxArrayInt selected;
    EXPECT_EQ(frame->file_list->GetSelections(selected), 0);
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{false, false}));
    EXPECT_EQ(frame->file_list->GetCount(), 3u);
    EXPECT_EQ(StatusText(), kNeedFolder);
}

TEST_F(StatusLineTest, RemoveTakesEverySelectedEntry) {
    Open();
    const auto a = MakeFile("a.wav"), b = MakeFile("b.wav"), c = MakeFile("c.wav");
    frame->AddFiles(Paths({a, b, c}));
    EXPECT_EQ(frame->input_files_box->GetLabel(), "Input Files (3)");
    SelectFiles({0, 2});
    Click(frame->remove_button);
    EXPECT_EQ(Entries(), (std::vector<wxString>{wxString(b.string())}));
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{false, false}));
    EXPECT_EQ(StatusText(), kNeedFolder);
    EXPECT_EQ(frame->input_files_box->GetLabel(), "Input Files (1)");

    SelectFiles({0});
    Click(frame->remove_button);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(StatusText(), kNeedBoth);
    EXPECT_EQ(RunButtons(), kNone);
    EXPECT_EQ(frame->input_files_box->GetLabel(), "Input Files");
}

TEST_F(StatusLineTest, RemoveAllWithASelectionDisablesEveryListCommand) {
    Open();
    Type("out");
    frame->AddFiles(Paths({MakeFile("a.wav"), MakeFile("b.wav")}));
    SelectFiles({1});
    Click(frame->remove_all_button);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(StatusText(), kNeedFiles);
    EXPECT_EQ(RunButtons(), kNone);
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{false, false}));
}

TEST_F(StatusLineTest, SameFileTwiceGivesTwoEntries) {
    Open();
    const auto a = MakeFile("a.wav");
    frame->AddFiles(Paths({a}));
    frame->AddFiles(Paths({a}));
    EXPECT_EQ(Entries(), (std::vector<wxString>{wxString(a.string()), wxString(a.string())}));
}

// Folders, FIFOs and devices are refused like unreadable names; the FIFO
// would hang this test if it were opened to be checked.
TEST_F(StatusLineTest, DropAddsOnlyTheReadableFilesInOrder) {
    Open();
    const auto a = MakeFile("a.wav"), c = MakeFile("c.wav");
    const auto folder = Folder() / "folder.wav", fifo = Folder() / "fifo.wav",
               link = Folder() / "link.wav";
    std::filesystem::create_directory(folder);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink(c, link);
    Drop(Paths({a, Missing("b.wav"), folder, fifo, "/dev/null", link, c}));
    EXPECT_EQ(Entries(), (std::vector<wxString>{a.string(), link.string(), c.string()}));
    // Said once, after the refresh the added files caused.
    EXPECT_EQ(StatusText(), "4 files not added: 1 does not exist, 3 are not regular files.");
    EXPECT_EQ(RunButtons(), kPreviewOnly);
}

TEST_F(StatusLineTest, DropOfOnlyUnreadableNamesChangesNothingButSaysSo) {
    Open();
    Type("out");
    frame->status_line->SetStatusText("Preview finished.", 0);
    frame->add_button->SetFocus();
    Drop(Paths({Missing("a.wav"), Missing("b.wav")}));
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(StatusText(), "2 files not added: 2 do not exist.");
    EXPECT_EQ(RunButtons(), kNone);
    EXPECT_EQ(wxWindow::FindFocus(), frame->add_button);
}

TEST_F(StatusLineTest, UnreadableFileIsSkipped) {
    if (geteuid() == 0) GTEST_SKIP() << "root can read any file";
    Open();
    const auto locked = MakeFile("locked.wav");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    frame->AddFiles(Paths({locked}));
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(StatusText(), "1 file not added: 1 cannot be read.");
}

}  // namespace
}  // namespace sonorel::test
