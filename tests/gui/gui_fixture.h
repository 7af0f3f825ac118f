#pragma once
// What the GUI tests share: a main window built and torn down the way the
// program does it, the settings file, sample files, simulated user actions
// and a hook that answers modal dialogs without showing them.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <wx/modalhook.h>
#include <wx/string.h>

#include "support/temp_folder.h"
#include "ui/my_event_frame.h"

// Lets GoogleTest print wxString values in failure messages.
inline void PrintTo(const wxString& text, std::ostream* out) {
    *out << '"' << text.utf8_string() << '"';
}

class wxButton;
class wxDialog;

namespace sonorel::test {

// Answers the modal dialogs a test expects, in the order they come, and
// fails the test on any other dialog or on one that never came.
class DialogAnswers : public wxModalDialogHook {
  public:
    using Answer = std::function<int(wxDialog*)>;

    DialogAnswers();
    ~DialogAnswers() override;

    void Expect(Answer answer) { expected_.push_back(std::move(answer)); }
    int ShownCount() const { return shown_; }

  protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}

  private:
    std::deque<Answer> expected_;
    int shown_ = 0;
};

class MainWindowTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the main window as the application does and shows it.
    MyEventFrame* Open();
    // Closes it through the close box path (Close) and lets the toolkit
    // destroy it, which saves the settings.
    void CloseAndDestroy();

    // The settings file: written verbatim, or read back as key -> value.
    static std::filesystem::path SettingsPath();
    static void WriteSettings(const std::string& text);
    static std::map<std::string, std::string> ReadSettingsKeys();

    // A readable file `name` in the test's own folder.
    std::filesystem::path MakeFile(const std::string& name);
    std::filesystem::path Folder() const { return folder_->Path(); }
    std::filesystem::path Missing(const std::string& name) const {
        return Folder() / "gone" / name;
    }

    // What a user does: press an enabled button, change the selection of the
    // list, type into or clear the output folder.
    static void Click(wxButton* button);
    void SelectFiles(std::initializer_list<int> indices);
    void Type(const wxString& text);
    void ClearOutputFolder();

    // The full paths the file list stands for, in list order.
    std::vector<wxString> Entries() const;
    wxString StatusText() const;
    wxWindow* DefaultButton() const;
    static wxArrayString Paths(std::initializer_list<std::filesystem::path> paths);

    MyEventFrame* frame = nullptr;

  private:
    std::optional<TempFolder> folder_;
    std::filesystem::path startDirectory_;
};

}  // namespace sonorel::test
