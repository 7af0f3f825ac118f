// The main window driven through the X server with a real pointer and
// keyboard (see user_input.h for why): selecting rows and pressing the list
// buttons, typing into the output folder, the default button, keyboard
// navigation, sliders and the wizard by keyboard.

#include <filesystem>
#include <fstream>

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>

#include "gui_fixture.h"
#include "user_input.h"

namespace sonorel::test {
namespace {

class RealInputTest : public MainWindowTest {
  protected:
    // The main window, on the screen with the keyboard focus.
    void OpenForInput() {
        Open();
        ASSERT_TRUE(input.Focus(*frame)) << "the main window never got the keyboard focus";
    }

    std::vector<int> Selection() const {
        wxArrayInt selected;
        frame->file_list->GetSelections(selected);
        return {selected.begin(), selected.end()};
    }

    UserInput input;
};

struct RowClick {
    int row;
    int modifiers;
};

struct ListCase {
    const char* what;
    std::vector<RowClick> clicks;
    std::vector<int> selectedAfterClicks;
    wxButton* MyEventFrame::*button;
    std::vector<int> entriesLeft;  // indices of the four files
};

const ListCase kListCases[] = {
    {"one row removed", {{1, wxMOD_NONE}}, {1}, &MyEventFrame::remove_button, {0, 2, 3}},
    {"Ctrl adds a row",
     {{0, wxMOD_NONE}, {2, wxMOD_CONTROL}},
     {0, 2},
     &MyEventFrame::remove_button,
     {1, 3}},
    {"Shift selects a range",
     {{1, wxMOD_NONE}, {3, wxMOD_SHIFT}},
     {1, 2, 3},
     &MyEventFrame::remove_button,
     {0}},
    {"Deselect All keeps every row",
     {{0, wxMOD_NONE}, {3, wxMOD_CONTROL}},
     {0, 3},
     &MyEventFrame::deselect_button,
     {0, 1, 2, 3}},
    {"Remove All", {{2, wxMOD_NONE}}, {2}, &MyEventFrame::remove_all_button, {}},
};

TEST_F(RealInputTest, ListButtonsActOnTheRowsTheUserClicked) {
    for (const ListCase& c : kListCases) {
        SCOPED_TRACE(c.what);
        OpenForInput();
        const wxArrayString files =
            Paths({MakeFile("a.wav"), MakeFile("b.wav"), MakeFile("c.wav"), MakeFile("d.wav")});
        frame->AddFiles(files);
        input.Settle();
        for (const RowClick& click : c.clicks)
            input.ClickRow(*frame->file_list, click.row, click.modifiers);
        EXPECT_EQ(Selection(), c.selectedAfterClicks);

        input.Click(*(frame->*c.button));
        std::vector<wxString> expected;
        for (const int i : c.entriesLeft)
            expected.push_back(files[i]);
        EXPECT_EQ(Entries(), expected);
        EXPECT_TRUE(Selection().empty());
        EXPECT_FALSE(frame->remove_button->IsEnabled());
        EXPECT_FALSE(frame->deselect_button->IsEnabled());
        CloseAndDestroy();
    }
}

struct TypingCase {
    const char* what;
    const char* storedFolder;  // "" for none
    bool removeAllFirst;
    const char* typed;
    const char* expected;
};

const TypingCase kTypingCases[] = {
    {"into an empty folder", "", false, "abc", "abc"},
    {"after a stored folder", "/tmp/restored", false, "/x", "/tmp/restored/x"},
    {"after Remove All", "/tmp/restored", true, "/y", "/tmp/restored/y"},
};

TEST_F(RealInputTest, TypingIntoTheOutputFolderKeepsEveryCharacter) {
    for (const TypingCase& c : kTypingCases) {
        SCOPED_TRACE(c.what);
        WriteSettings(std::string("Output=") + c.storedFolder + "\n");
        OpenForInput();
        frame->AddFiles(Paths({MakeFile("a.wav")}));
        input.Settle();
        if (c.removeAllFirst) input.Click(*frame->remove_all_button);
        ASSERT_EQ(wxWindow::FindFocus(), frame->output_text);
        input.Type(c.typed);
        EXPECT_EQ(frame->OutputFolder(), c.expected);
        CloseAndDestroy();
    }
}

TEST_F(RealInputTest, RowsShowTheFileNameFirstAndTheFullPathOnHover) {
    OpenForInput();
    // A folder name far wider than the list.
    const std::filesystem::path deep = Folder() / std::string(150, 'f');
    std::filesystem::create_directory(deep);
    std::ofstream(deep / "side1.wav") << "RIFF";
    frame->AddFiles(Paths({MakeFile("a.wav"), deep / "side1.wav"}));
    input.Settle();

    for (const int row : {1, 0}) {
        const wxString path = Entries()[row];
        EXPECT_TRUE(frame->file_list->GetString(row).StartsWith(wxFileName(path).GetFullName()));
        input.HoverRow(*frame->file_list, row);
        EXPECT_EQ(frame->file_list->GetToolTipText(), path);
    }
    input.Click(*frame->output_text);
    EXPECT_EQ(frame->file_list->GetToolTipText(), "List of files to be processed");
}

}  // namespace
}  // namespace sonorel::test
