// The main window driven through the X server with a real pointer and
// keyboard (see user_input.h for why): selecting rows and pressing the list
// buttons, typing into the output folder, the default button, keyboard
// navigation, sliders, the wizard and the shortcuts. After each, what the
// list holds, what the folder reads and what Go! would do.

#include <gtk/gtk.h>
#include <filesystem>
#include <fstream>

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/html/helpctrl.h>
#include <wx/hyperlink.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/radiobox.h>
#include <wx/slider.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include "gui_fixture.h"
#include "settings/presets.h"
#include "ui/choosers.h"
#include "user_input.h"
#include "wizard/my_event_presets.h"

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
    int mnemonic;                  // pressed with Alt and this key; 0: clicked
    std::vector<int> entriesLeft;  // of the four files
};

const ListCase kListCases[] = {
    {"one row removed", {{1, wxMOD_NONE}}, {1}, &MyEventFrame::remove_button, 0, {0, 2, 3}},
    {"Ctrl adds a row",
     {{0, wxMOD_NONE}, {2, wxMOD_CONTROL}},
     {0, 2},
     &MyEventFrame::remove_button,
     'r',
     {1, 3}},
    {"Shift selects a range",
     {{1, wxMOD_NONE}, {3, wxMOD_SHIFT}},
     {1, 2, 3},
     &MyEventFrame::remove_button,
     0,
     {0}},
    {"Deselect All keeps every row",
     {{0, wxMOD_NONE}, {3, wxMOD_CONTROL}},
     {0, 3},
     &MyEventFrame::deselect_button,
     'd',
     {0, 1, 2, 3}},
    {"Remove All", {{2, wxMOD_NONE}}, {2}, &MyEventFrame::remove_all_button, 'l', {}},
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

        std::vector<wxString> expected;
        for (const int i : c.entriesLeft)
            expected.push_back(files[i]);
        if (c.mnemonic != 0) {
            input.Key(c.mnemonic, wxMOD_ALT);
        } else {
            input.Click(*(frame->*c.button));
        }
        // A button pressed by its mnemonic clicks a moment later.
        input.WaitFor([&] { return Selection().empty(); });
        // What Go! and Preview would work on.
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

TEST_F(RealInputTest, EveryControlShowsItsTooltipUnderThePointer) {
    OpenForInput();
    frame->AddFiles(Paths({MakeFile("a.wav"), MakeFile("b.wav")}));
    input.Settle();
    input.Type("out");
    input.ClickRow(*frame->file_list, 1);  // every button enabled

    const std::initializer_list<wxWindow*> others{
        frame->function_radio,  frame->phasing_check,  frame->original_check,    frame->add_button,
        frame->deselect_button, frame->remove_button,  frame->remove_all_button, frame->output_text,
        frame->browse_button,   frame->help_button,    frame->info_button,       frame->exit_button,
        frame->wizard_button,   frame->preview_button, frame->go_button};
    std::vector<wxWindow*> controls;
    controls.reserve(kSliderRanges.size() + others.size());
    for (const SliderRange& range : kSliderRanges)
        controls.push_back(frame->SliderFor(range.slider));
    controls.insert(controls.end(), others.begin(), others.end());
    for (wxWindow* control : controls) {
        const wxString tooltip = control->GetToolTipText();
        SCOPED_TRACE(tooltip.utf8_string());
        ASSERT_FALSE(tooltip.empty());
        input.Hover(*control);
        // GTK shows a tooltip half a second after the pointer stops.
        EXPECT_TRUE(input.WaitFor([&] { return UserInput::ShownTooltip() == tooltip; }))
            << "shown: \"" << UserInput::ShownTooltip().utf8_string() << '"';
    }
}

// Records the message boxes of a run and answers them as Yes or OK.
DialogAnswers::Answer Record(std::vector<wxString>& messages) {
    return [&messages](wxDialog* dialog) {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        messages.push_back(box != nullptr ? box->GetMessage() : dialog->GetTitle());
        return static_cast<int>(
            box != nullptr && box->GetMessageDialogStyle() & wxYES_NO ? wxID_YES : wxID_OK);
    };
}

TEST_F(RealInputTest, EnterPressesGoWhenTheFolderCameLastAndAddOtherwise) {
    std::filesystem::create_directory(Folder() / "out");
    std::filesystem::current_path(Folder());
    for (const bool folderLast : {true, false}) {
        SCOPED_TRACE(folderLast ? "folder last" : "files last");
        std::filesystem::remove(SettingsPath());
        OpenForInput();
        const wxArrayString files = Paths({MakeFile("a.wav"), MakeFile("b.wav")});
        if (folderLast) frame->AddFiles(files);
        input.Settle();
        input.Type("out");
        if (!folderLast) frame->AddFiles(files);
        input.Settle();

        DialogAnswers answers;
        std::vector<wxString> messages;
        if (folderLast) {
            // Go! over both files, which are no sound files: a message
            // naming each, in list order.
            answers.Expect(Record(messages));
            answers.Expect(Record(messages));
        } else {
            answers.Expect([](wxDialog* dialog) {
                EXPECT_NE(dynamic_cast<InputFilesDialog*>(dialog), nullptr) << "not Add's chooser";
                return static_cast<int>(wxID_CANCEL);
            });
        }
        input.Key(WXK_RETURN);
        input.WaitFor([&] { return answers.ShownCount() == (folderLast ? 2 : 1); });
        if (folderLast) {
            ASSERT_EQ(messages.size(), 2u);
            EXPECT_TRUE(messages[0].EndsWith("\n" + files[0])) << messages[0];
            EXPECT_TRUE(messages[1].EndsWith("\n" + files[1])) << messages[1];
            EXPECT_EQ(StatusText(), "Processing finished.");
        }
        // Go! makes the folder absolute; the chooser leaves it as typed.
        EXPECT_EQ(frame->OutputFolder(), folderLast ? (Folder() / "out").string() : "out");
        CloseAndDestroy();
    }
}

TEST_F(RealInputTest, TabReachesEachEnabledControlInOrderAndKeysMoveTheSliders) {
    OpenForInput();
    frame->AddFiles(Paths({MakeFile("a.wav")}));
    input.Settle();
    frame->file_list->SetFocus();
    input.Settle();

    // The right column top to bottom; Deselect All, Remove and Go! are off.
    std::vector<wxWindow*> visited;
    for (int i = 0; i < 11; ++i) {
        visited.push_back(wxWindow::FindFocus());
        input.Key(WXK_TAB);
    }
    const std::vector<wxWindow*> expected = {
        frame->file_list,     frame->add_button,    frame->remove_all_button, frame->output_text,
        frame->browse_button, frame->web_link,      frame->help_button,       frame->info_button,
        frame->exit_button,   frame->wizard_button, frame->preview_button};
    EXPECT_EQ(visited, expected);
    // The presets and the records, created last, come next, then round to
    // the top left. GTK
    // moves the focus into the slider itself, which wx does not report.
    const auto inClickSlider = [this] {
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(frame->GetHandle()));
        auto* slider = GTK_WIDGET(frame->click_slider->GetHandle());
        return focus != nullptr && (focus == slider || gtk_widget_is_ancestor(focus, slider));
    };
    for (int i = 0; i < 9 && !inClickSlider(); ++i)
        input.Key(WXK_TAB);
    ASSERT_TRUE(inClickSlider());

    // The Click Remover slider (0 to 10, at 5).
    const std::pair<int, int> kKeys[] = {
        {WXK_RIGHT, 6}, {WXK_RIGHT, 7}, {WXK_LEFT, 6}, {WXK_HOME, 0}, {WXK_END, 10}};
    for (const auto& [key, value] : kKeys) {
        input.Key(key);
        EXPECT_EQ(frame->click_slider->GetValue(), value) << key;
    }
    EXPECT_EQ(frame->ReadSettings().click_level, 10);  // what Go! would use
}

TEST_F(RealInputTest, WizardOpensAndClosesByKeyboard) {
    OpenForInput();
    const auto sliders = [this] {
        std::vector<int> values;
        values.reserve(kSliderCount);
        for (const SliderRange& range : kSliderRanges)
            values.push_back(frame->SliderFor(range.slider)->GetValue());
        return values;
    };
    const std::vector<int> before = sliders();
    for (const int key : {WXK_ESCAPE, WXK_RETURN}) {
        bool shown = false;
        input.Once(
            [] {
                for (wxWindow* window : wxTopLevelWindows) {
                    if (auto* wizard = dynamic_cast<MyEventPresets*>(window))
                        return UserInput::Focused(*wizard);
                }
                return false;
            },
            [&, key] {
                shown = true;
                input.Press(key);
            });
        ASSERT_TRUE(input.Focus(*frame));
        input.Key('w', wxMOD_ALT);
        ASSERT_TRUE(input.WaitFor([&] { return shown; })) << "the wizard never opened";
        input.Settle();
        if (key == WXK_ESCAPE) {
            EXPECT_EQ(sliders(), before);
            EXPECT_EQ(frame->wizard_answers.category, -1);
        }
    }
    // Enter pressed OK: the answers shown are stored and their preset set.
    ASSERT_NE(frame->wizard_answers.category, -1);
    RestorationSettings preset;
    ApplyPreset(frame->wizard_answers, preset);
    EXPECT_EQ(frame->rumble_slider->GetValue(), preset.rumble_hz);
    EXPECT_EQ(frame->hiss_slider->GetValue(), preset.hiss_khz);
}

struct ShortcutCase {
    const char* what;
    int key;
    int modifiers;
    bool closes;  // else it opens the help
};

const ShortcutCase kShortcutCases[] = {
    {"F1", WXK_F1, wxMOD_NONE, false},
    {"Ctrl+Q", 'q', wxMOD_CONTROL, true},
    {"Ctrl+W", 'w', wxMOD_CONTROL, true},
};

TEST_F(RealInputTest, ShortcutsOpenTheHelpAndCloseTheWindow) {
    for (const ShortcutCase& c : kShortcutCases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(SettingsPath());
        OpenForInput();
        const wxWeakRef<wxWindow> window(frame);
        input.Key(c.key, c.modifiers);
        if (c.closes) {
            // Closed as the Close button closes it: destroyed, settings saved.
            EXPECT_TRUE(input.WaitFor([&] { return window.get() == nullptr; }));
            frame = nullptr;
            EXPECT_FALSE(ReadSettingsKeys().empty());
        } else {
            wxHtmlHelpController* viewer = frame->Help().Viewer();
            ASSERT_NE(viewer, nullptr);
            EXPECT_TRUE(viewer->GetFrame() != nullptr && viewer->GetFrame()->IsShown());
            CloseAndDestroy();
        }
    }
}

struct DisablingClickCase {
    const char* what;
    wxButton* MyEventFrame::*button;
    const ShortcutCase& shortcut;
};

const DisablingClickCase kDisablingClickCases[] = {
    {"Remove, then F1", &MyEventFrame::remove_button, kShortcutCases[0]},
    {"Deselect All, then Ctrl+W", &MyEventFrame::deselect_button, kShortcutCases[2]},
};

// A clicked button takes the focus; when it then disables itself the focus
// must move on, or GTK sends the window's shortcuts nowhere.
TEST_F(RealInputTest, ShortcutsWorkAfterAClickedButtonDisablesItself) {
    for (const DisablingClickCase& c : kDisablingClickCases) {
        SCOPED_TRACE(c.what);
        OpenForInput();
        frame->AddFiles(Paths({MakeFile("a.wav"), MakeFile("b.wav")}));
        input.Settle();
        input.ClickRow(*frame->file_list, 0);
        ASSERT_TRUE((frame->*c.button)->IsEnabled());
        input.Click(*(frame->*c.button));
        ASSERT_FALSE((frame->*c.button)->IsEnabled());
        EXPECT_EQ(wxWindow::FindFocus(), frame->file_list);

        const wxWeakRef<wxWindow> window(frame);
        input.Key(c.shortcut.key, c.shortcut.modifiers);
        if (c.shortcut.closes) {
            EXPECT_TRUE(input.WaitFor([&] { return window.get() == nullptr; }));
            if (window.get() == nullptr) frame = nullptr;
        } else {
            wxHtmlHelpController* viewer = frame->Help().Viewer();
            EXPECT_TRUE(viewer != nullptr && viewer->GetFrame() != nullptr &&
                        viewer->GetFrame()->IsShown());
        }
        if (frame != nullptr) CloseAndDestroy();
    }
}

}  // namespace
}  // namespace sonorel::test
