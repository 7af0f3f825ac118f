// About, Help and the help book itself.

#include <wx/app.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/filesys.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpdata.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/sstream.h>
#include <wx/txtstrm.h>

#include "gui_fixture.h"
#include "resources/help_book.h"
#include "ui/help.h"

namespace sonorel::test {
namespace {

using InfoCommandsTest = MainWindowTest;

TEST_F(InfoCommandsTest, AboutNamesVersionAddressAndLibrariesAndChangesNothing) {
    Open();
    frame->AddFiles(Paths({MakeFile("a.wav")}));
    SelectFiles({0});
    const wxString statusBefore = StatusText();

    DialogAnswers answers;
    answers.Expect([](wxDialog* dialog) {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        EXPECT_NE(box, nullptr);
        if (box == nullptr) return static_cast<int>(wxID_OK);
        EXPECT_EQ(box->GetTitle(), "About Sonorel");
        EXPECT_EQ(box->GetMessage(),
                  "Sonorel 4.2\n\n<https://sonorel.example.org/>\n\nSonorel uses the wxWidgets "
                  "GUI library, the libsndfile audio file library, the PortAudio audio I/O "
                  "library, and the FFTW Fourier transform library.");
        EXPECT_TRUE(box->GetMessageDialogStyle() & wxOK);
        EXPECT_FALSE(box->GetMessageDialogStyle() & (wxCANCEL | wxYES_NO));
        return static_cast<int>(wxID_OK);
    });
    Click(frame->info_button);

    EXPECT_EQ(answers.ShownCount(), 1);
    EXPECT_EQ(frame->file_list->GetCount(), 1u);
    wxArrayInt selected;
    EXPECT_EQ(frame->file_list->GetSelections(selected), 1);
    EXPECT_EQ(StatusText(), statusBefore);
    EXPECT_TRUE(frame->preview_button->IsEnabled());
    EXPECT_FALSE(frame->go_button->IsEnabled());
    EXPECT_TRUE(frame->remove_button->IsEnabled());
}

wxString OpenedHelpPage(MyEventFrame* frame) {
    wxHtmlHelpController* viewer = frame->Help().Viewer();
    if (viewer == nullptr || viewer->GetHelpWindow() == nullptr) return wxString();
    return viewer->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage();
}

TEST_F(InfoCommandsTest, HelpButtonOpensTheContents) {
    Open();
    // The program registers no image handlers at start (this suite's main
    // does); the help must still be able to show the pages' pictures.
    wxImage::RemoveHandler("PNG file");
    Click(frame->help_button);
    EXPECT_NE(wxImage::FindHandler(wxBITMAP_TYPE_PNG), nullptr);
    ASSERT_NE(frame->Help().Viewer(), nullptr);
    ASSERT_NE(frame->Help().Viewer()->GetFrame(), nullptr) << "no help window";
    EXPECT_TRUE(frame->Help().Viewer()->GetFrame()->IsShown());
    EXPECT_TRUE(OpenedHelpPage(frame).EndsWith("index.html")) << OpenedHelpPage(frame);
}

TEST_F(InfoCommandsTest, MissingHelpBookSaysWhereItWasLookedFor) {
    Open();
    UseHelpBook(wxString::FromUTF8((Folder() / "Sonorel.htb").string()));
    DialogAnswers answers;
    answers.Expect([this](wxDialog* dialog) {
        auto* box = dynamic_cast<wxMessageDialog*>(dialog);
        EXPECT_NE(box, nullptr);
        if (box == nullptr) return static_cast<int>(wxID_OK);
        EXPECT_EQ(box->GetTitle(), "Sonorel Help");
        EXPECT_EQ(box->GetMessage(),
                  "The help book Sonorel.htb could not be found. Sonorel looked for it in:\n" +
                      wxString::FromUTF8(Folder().string()));
        return static_cast<int>(wxID_OK);
    });
    Click(frame->help_button);
    UseHelpBook(SONOREL_BUILD_TREE_HELP_BOOK);
    EXPECT_TRUE(frame->Help().Viewer() == nullptr || frame->Help().Viewer()->GetFrame() == nullptr);
}

// The book as the program reads it: a zip with a project file, contents and index.
class HelpBookTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { AddHelpBookHandlers(); }

    static wxString Page(const wxString& name) {
        wxFileSystem files;
        std::unique_ptr<wxFSFile> page(files.OpenFile(FindHelpBook() + "#zip:" + name));
        if (!page) return wxString();
        wxString text;
        wxStringOutputStream out(&text);
        page->GetStream()->Read(out);
        return text;
    }
};

TEST_F(HelpBookTest, TopicOneIsTheWizardsQuestions) {
    wxHtmlHelpData book;
    ASSERT_TRUE(book.AddBook(FindHelpBook()));
    EXPECT_TRUE(book.FindPageById(kWizardHelpTopic).EndsWith("wizard.html"));
    const wxString wizard = Page("wizard.html");
    for (const char* question :
         {"Recording Category", "Playback EQ", "Background Hiss", "Pops'n'Clicks", "Wear'n'Tear"}) {
        EXPECT_TRUE(wizard.Contains(question)) << question;
    }
}

TEST_F(HelpBookTest, EveryMessageOfTheProgramIsExplained) {
    const wxString troubleshooting = Page("troubleshooting.html");
    ASSERT_FALSE(troubleshooting.empty());
    for (const char* message :
         {"Input file should be (but is not) stereo",
          "Input file could not be opened or is too short", "Input file no longer exists",
          "Output file could not be opened", "Output file is incomplete", "Problem playing preview",
          "Preview cancelled", "Output folder could not be created"}) {
        EXPECT_TRUE(troubleshooting.Contains(wxString(">") + message + "<")) << message;
    }
}

TEST_F(HelpBookTest, EveryControlIsExplained) {
    const wxString pages =
        Page("restoration-controls.html") + Page("files-and-folders.html") + Page("commands.html");
    for (const SliderRange& range : kSliderRanges) {
        const wxString label = wxString::FromUTF8(range.group.data(), range.group.size());
        // The page names each slider by its group label, without the unit.
        EXPECT_TRUE(pages.Contains(label.BeforeFirst('(').Trim())) << label;
    }
    for (const char* control :
         {"Mono Enhancer", "Vocal Remover", "Anti-Phase Signal Channels",
          "Keep Original Signal Level", "Input Files", "Output Folder", "Add", "Deselect All",
          "Remove All", "Wizard", "Preview", "Go!", "Visit the Sonorel website"}) {
        EXPECT_TRUE(pages.Contains(control)) << control;
    }
}

TEST_F(HelpBookTest, ContentsAndIndexPointOnlyAtPagesInTheBook) {
    wxHtmlHelpData book;
    ASSERT_TRUE(book.AddBook(FindHelpBook()));
    std::size_t checked = 0;
    const wxHtmlHelpDataItems& contents = book.GetContentsArray();
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const wxHtmlHelpDataItem& item = contents[i];
        const wxString page = item.page.BeforeFirst('#');
        EXPECT_FALSE(Page(page).empty()) << "contents: " << page;
        ++checked;
    }
    const wxHtmlHelpDataItems& index = book.GetIndexArray();
    for (std::size_t i = 0; i < index.size(); ++i) {
        const wxHtmlHelpDataItem& item = index[i];
        const wxString page = item.page.BeforeFirst('#');
        const wxString anchor = item.page.AfterFirst('#');
        const wxString text = Page(page);
        EXPECT_FALSE(text.empty()) << "index: " << page;
        if (!anchor.empty()) {
            EXPECT_TRUE(text.Contains("name=\"" + anchor + "\"")) << "index: " << item.page;
        }
        ++checked;
    }
    EXPECT_GT(checked, 20u);
}

}  // namespace
}  // namespace sonorel::test
