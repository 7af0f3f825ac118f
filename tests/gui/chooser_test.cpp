// The add-files and output-folder choosers, answered by a modal hook: what
// they ask, what OK and Cancel do, and the working directory that follows
// the chosen files into the next session.

#include <gtk/gtk.h>

#include <string>
#include <utility>
#include <vector>

#include <wx/app.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>

#include "gui_fixture.h"
#include "ui/choosers.h"

namespace sonorel::test {
namespace {

using ChooserTest = MainWindowTest;

DialogAnswers::Answer ChooseFiles(const wxArrayString& paths) {
    return [paths](wxDialog* dialog) {
        auto* chooser = dynamic_cast<InputFilesDialog*>(dialog);
        EXPECT_NE(chooser, nullptr) << "not the add-files chooser";
        if (chooser == nullptr) return static_cast<int>(wxID_CANCEL);
        chooser->Answer(paths);
        return static_cast<int>(wxID_OK);
    };
}

DialogAnswers::Answer ChooseFolder(const wxString& path) {
    return [path](wxDialog* dialog) {
        auto* chooser = dynamic_cast<OutputFolderDialog*>(dialog);
        EXPECT_NE(chooser, nullptr) << "not the output-folder chooser";
        if (chooser == nullptr) return static_cast<int>(wxID_CANCEL);
        chooser->Answer(path);
        return static_cast<int>(wxID_OK);
    };
}

int Cancel(wxDialog*) {
    return wxID_CANCEL;
}

TEST_F(ChooserTest, AddFilesChooserAsksForStereoFilesInTheWorkingDirectory) {
    Open();
    DialogAnswers answers;
    answers.Expect([](wxDialog* dialog) {
        auto* chooser = dynamic_cast<wxFileDialog*>(dialog);
        EXPECT_NE(chooser, nullptr);
        if (chooser == nullptr) return static_cast<int>(wxID_CANCEL);
        EXPECT_EQ(chooser->GetMessage(), "Select Stereo Input File(s)");
        EXPECT_EQ(chooser->GetFilterIndex(), 0);
        EXPECT_EQ(chooser->GetWindowStyle() &
                      (wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE | wxFD_CHANGE_DIR),
                  wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE | wxFD_CHANGE_DIR);
        EXPECT_EQ(chooser->GetParent(), wxTheApp->GetTopWindow());
        return static_cast<int>(wxID_CANCEL);
    });
    Click(frame->add_button);
}

// Which of the chooser's filters, as GTK applies them, show a file `name`.
std::vector<std::string> FiltersShowing(wxFileDialog& chooser, const char* name) {
    std::vector<std::string> showing;
    GSList* filters = gtk_file_chooser_list_filters(GTK_FILE_CHOOSER(chooser.GetHandle()));
    for (GSList* item = filters; item != nullptr; item = item->next) {
        GtkFileFilter* filter = GTK_FILE_FILTER(item->data);
        GtkFileFilterInfo file{};
        file.contains = GTK_FILE_FILTER_DISPLAY_NAME;
        file.display_name = name;
        if (gtk_file_filter_filter(filter, &file))
            showing.emplace_back(gtk_file_filter_get_name(filter));
    }
    g_slist_free(filters);
    return showing;
}

TEST_F(ChooserTest, AddFilesFiltersFindEveryReadableKindInAnyCase) {
    const std::string wav = "WAV/RIFF audio files (*.wav)",
                      aiff = "AIFF audio files (*.aif;*.aiff)", au = "Sun/NeXT audio files (*.au)",
                      rf64 = "RF64 and Wave64 audio files (*.rf64;*.w64)",
                      flac = "FLAC audio files (*.flac)", ogg = "Ogg audio files (*.ogg;*.oga)",
                      caf = "CAF audio files (*.caf)", raw = "Raw 16-bit PCM files (*.*)";
    const std::pair<const char*, std::vector<std::string>> kNames[] = {
        {"side1.wav", {wav, raw}}, {"SIDE1.WAV", {wav, raw}}, {"Side1.Wav", {wav, raw}},
        {"b.AIFF", {aiff, raw}},   {"b.aif", {aiff, raw}},    {"c.Au", {au, raw}},
        {"d.RF64", {rf64, raw}},   {"e.w64", {rf64, raw}},    {"f.FLAC", {flac, raw}},
        {"g.ogg", {ogg, raw}},     {"g.OGA", {ogg, raw}},     {"h.caf", {caf, raw}},
        {"take1", {raw}},          {"notes.txt", {raw}},
    };
    Open();
    DialogAnswers answers;
    answers.Expect([&](wxDialog* dialog) {
        auto* chooser = dynamic_cast<wxFileDialog*>(dialog);
        EXPECT_NE(chooser, nullptr);
        if (chooser == nullptr) return static_cast<int>(wxID_CANCEL);
        for (const auto& [name, filters] : kNames) {
            EXPECT_EQ(FiltersShowing(*chooser, name), filters) << name;
        }
        return static_cast<int>(wxID_CANCEL);
    });
    Click(frame->add_button);
}

TEST_F(ChooserTest, ChosenFilesAreAddedAndTheWorkingDirectoryFollowsThem) {
    const auto a = MakeFile("a.wav"), b = MakeFile("b.aiff");
    Open();
    DialogAnswers answers;
    answers.Expect(ChooseFiles(Paths({a, b})));
    Click(frame->add_button);
    EXPECT_EQ(Entries(), (std::vector<wxString>{a.string(), b.string()}));
    EXPECT_EQ(StatusText(), "Select an output folder...");
    EXPECT_EQ(std::filesystem::current_path(), Folder());
}

TEST_F(ChooserTest, WorkingDirectoryComesBackAtTheNextStart) {
    const auto a = MakeFile("a.wav");
    const std::filesystem::path elsewhere = std::filesystem::current_path();
    Open();
    {
        DialogAnswers answers;
        answers.Expect(ChooseFiles(Paths({a})));
        Click(frame->add_button);
    }
    CloseAndDestroy();
    EXPECT_EQ(ReadSettingsKeys().at("Input"), Folder().string());

    std::filesystem::current_path(elsewhere);
    Open();
    EXPECT_EQ(std::filesystem::current_path(), Folder());
    EXPECT_EQ(frame->file_list->GetCount(), 0u) << "the list is not remembered";
}

TEST_F(ChooserTest, CancelledAddChangesNothing) {
    const std::filesystem::path before = std::filesystem::current_path();
    Open();
    DialogAnswers answers;
    answers.Expect(Cancel);
    Click(frame->add_button);
    EXPECT_EQ(frame->file_list->GetCount(), 0u);
    EXPECT_EQ(StatusText(), "Select input files and output folder...");
    EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST_F(ChooserTest, BrowseStartsAtTheTypedFolderAndPutsTheChoiceInTheText) {
    Open();
    frame->AddFiles(Paths({MakeFile("a.wav")}));
    Type("/somewhere");
    ClearOutputFolder();
    Type(Folder().string());
    DialogAnswers answers;
    answers.Expect([this](wxDialog* dialog) {
        auto* chooser = dynamic_cast<OutputFolderDialog*>(dialog);
        EXPECT_NE(chooser, nullptr);
        if (chooser == nullptr) return static_cast<int>(wxID_CANCEL);
        EXPECT_EQ(chooser->GetMessage(),
                  "Select a folder in which to create the output files. Existing files will "
                  "NOT be overwritten - the new files will be renamed if necessary.");
        EXPECT_EQ(chooser->StartPath(), Folder().string());
        return static_cast<int>(wxID_CANCEL);
    });
    answers.Expect(ChooseFolder("/tmp/restored"));
    Click(frame->browse_button);  // cancelled
    EXPECT_EQ(frame->OutputFolder(), Folder().string());
    Click(frame->browse_button);
    EXPECT_EQ(frame->OutputFolder(), "/tmp/restored");
    EXPECT_EQ(StatusText(), "Ready to go!");
}

TEST_F(ChooserTest, BrowseSupplyingTheFolderLastMakesGoTheDefault) {
    Open();
    frame->AddFiles(Paths({MakeFile("a.wav")}));
    DialogAnswers answers;
    answers.Expect(ChooseFolder(Folder().string()));
    Click(frame->browse_button);
    EXPECT_EQ(StatusText(), "Ready to go!");
    EXPECT_EQ(DefaultButton(), frame->go_button);
}

}  // namespace
}  // namespace sonorel::test
