// The help windows by keyboard, with real X input (user_input.h): F1 opens
// them from the main window and from inside the wizard, Escape and Ctrl+W
// close them, every topic title of the contents shows whole, and opening
// them leaves nothing on GTK's log.

#include <glib.h>

#include <wx/html/helpctrl.h>
#include <wx/html/helpdlg.h>
#include <wx/html/helpfrm.h>
#include <wx/treectrl.h>

#include "gui_fixture.h"
#include "user_input.h"
#include "wizard/my_event_presets.h"

namespace sonorel::test {
namespace {

// Counts what GTK logs at the level of criticals and warnings while it lives.
class GtkLogCount {
  public:
    GtkLogCount() {
        handler_ = g_log_set_handler(
            "Gtk", static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
            [](const gchar*, GLogLevelFlags, const gchar*, gpointer count) {
                ++*static_cast<int*>(count);
            },
            &count_);
    }
    ~GtkLogCount() { g_log_remove_handler("Gtk", handler_); }
    int Count() const { return count_; }

  private:
    guint handler_ = 0;
    int count_ = 0;
};

wxTreeCtrl* ContentsTree(wxWindow& window) {
    if (auto* tree = dynamic_cast<wxTreeCtrl*>(&window)) return tree;
    for (wxWindow* child : window.GetChildren()) {
        if (wxTreeCtrl* tree = ContentsTree(*child)) return tree;
    }
    return nullptr;
}

// Each title of the contents ends inside the tree's visible width.
void ExpectTitlesWhole(wxWindow& viewer) {
    wxTreeCtrl* tree = ContentsTree(viewer);
    ASSERT_NE(tree, nullptr);
    const int width = tree->GetClientSize().x;
    int titles = 0;
    for (wxTreeItemId item = tree->GetFirstVisibleItem(); item.IsOk();
         item = tree->GetNextVisible(item)) {
        wxRect text;
        ASSERT_TRUE(tree->GetBoundingRect(item, text, true));
        EXPECT_LE(text.GetRight(), width) << tree->GetItemText(item);
        ++titles;
    }
    EXPECT_GT(titles, 3);
}

template <class Window>
Window* OpenTopLevel() {
    for (wxWindow* window : wxTopLevelWindows) {
        if (auto* found = dynamic_cast<Window*>(window); found != nullptr && found->IsShown())
            return found;
    }
    return nullptr;
}

class RealInputHelpTest : public MainWindowTest {
  protected:
    UserInput input;
};

TEST_F(RealInputHelpTest, HelpFrameOpensWithF1AndClosesWithEscapeOrCtrlW) {
    Open();
    ASSERT_TRUE(input.Focus(*frame));
    const GtkLogCount log;
    for (const int modifiers : {wxMOD_NONE, wxMOD_CONTROL}) {
        const int closingKey = modifiers == wxMOD_NONE ? static_cast<int>(WXK_ESCAPE) : 'w';
        SCOPED_TRACE(modifiers == wxMOD_NONE ? "Escape" : "Ctrl+W");
        ASSERT_TRUE(input.Focus(*frame));
        input.Key(WXK_F1);
        wxFrame* help = frame->Help().Viewer() ? frame->Help().Viewer()->GetFrame() : nullptr;
        ASSERT_NE(help, nullptr);
        ASSERT_TRUE(input.Focus(*help));
        ExpectTitlesWhole(*help);
        input.Key(closingKey, modifiers);
        EXPECT_TRUE(input.WaitFor([&] { return OpenTopLevel<wxHtmlHelpFrame>() == nullptr; }));
        // The main window is still there.
        EXPECT_TRUE(frame->IsShown());
    }
    EXPECT_EQ(log.Count(), 0);
}

TEST_F(RealInputHelpTest, F1InsideTheWizardOpensItsHelpAndEscapeReturnsToIt) {
    Open();
    ASSERT_TRUE(input.Focus(*frame));
    const GtkLogCount log;
    bool helpShown = false;
    bool backInWizard = false;
    input.InTurn({
        {[] {
             auto* wizard = OpenTopLevel<MyEventPresets>();
             return wizard != nullptr && UserInput::Focused(*wizard);
         },
         [&] { input.Press(WXK_F1); }},
        {[] {
             auto* help = OpenTopLevel<wxHtmlHelpDialog>();
             return help != nullptr && UserInput::Focused(*help);
         },
         [&] {
             helpShown = true;
             ExpectTitlesWhole(*OpenTopLevel<wxHtmlHelpDialog>());
             input.Press(WXK_ESCAPE);
         }},
        {[] {
             auto* wizard = OpenTopLevel<MyEventPresets>();
             return OpenTopLevel<wxHtmlHelpDialog>() == nullptr && wizard != nullptr &&
                    UserInput::Focused(*wizard);
         },
         [&] {
             backInWizard = true;
             input.Press(WXK_ESCAPE);
         }},
    });
    input.Key('w', wxMOD_ALT);
    EXPECT_TRUE(
        input.WaitFor([&] { return backInWizard && OpenTopLevel<MyEventPresets>() == nullptr; }));
    EXPECT_TRUE(helpShown);
    EXPECT_EQ(log.Count(), 0);
}

}  // namespace
}  // namespace sonorel::test
