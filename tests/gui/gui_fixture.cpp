#include "gui_fixture.h"

#include <fstream>
#include <sstream>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include "ui/settings_store.h"

namespace sonorel::test {

DialogAnswers::DialogAnswers() {
    Register();
}

DialogAnswers::~DialogAnswers() {
    Unregister();
    EXPECT_TRUE(expected_.empty()) << expected_.size() << " expected dialog(s) never shown";
}

int DialogAnswers::Enter(wxDialog* dialog) {
    ++shown_;
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected dialog \"" << dialog->GetTitle() << "\"";
        return wxID_CANCEL;
    }
    Answer answer = std::move(expected_.front());
    expected_.pop_front();
    return answer(dialog);
}

void MainWindowTest::SetUp() {
    startDirectory_ = std::filesystem::current_path();
    folder_.emplace();
    std::filesystem::remove(SettingsPath());
}

void MainWindowTest::TearDown() {
    if (frame != nullptr) CloseAndDestroy();
    std::filesystem::current_path(startDirectory_);
    folder_.reset();
    std::filesystem::remove(SettingsPath());
}

MyEventFrame* MainWindowTest::Open() {
    frame = new MyEventFrame();
    frame->Show();
    wxTheApp->SetTopWindow(frame);
    return frame;
}

void MainWindowTest::CloseAndDestroy() {
    frame->Close();
    frame = nullptr;
    // Top-level windows are deleted on the next idle pass.
    wxTheApp->ProcessIdle();
}

std::filesystem::path MainWindowTest::SettingsPath() {
    return std::filesystem::path(SettingsFilePath().utf8_string());
}

void MainWindowTest::WriteSettings(const std::string& text) {
    std::ofstream(SettingsPath()) << text;
}

std::map<std::string, std::string> MainWindowTest::ReadSettingsKeys() {
    std::map<std::string, std::string> keys;
    std::ifstream in(SettingsPath());
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) keys[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return keys;
}

std::filesystem::path MainWindowTest::MakeFile(const std::string& name) {
    std::filesystem::path path = Folder() / name;
    std::ofstream(path) << "RIFF";
    return path;
}

void MainWindowTest::Click(wxButton* button) {
    ASSERT_TRUE(button->IsEnabled()) << button->GetLabel() << " is disabled";
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

void MainWindowTest::SelectFiles(std::initializer_list<int> indices) {
    frame->file_list->SetSelection(wxNOT_FOUND);
    for (const int index : indices)
        frame->file_list->SetSelection(index);
    // Selecting in code raises no event; a click does.
    wxCommandEvent selected(wxEVT_LISTBOX, frame->file_list->GetId());
    selected.SetEventObject(frame->file_list);
    selected.SetInt(indices.size() > 0 ? *indices.begin() : wxNOT_FOUND);
    frame->file_list->GetEventHandler()->ProcessEvent(selected);
}

void MainWindowTest::Type(const wxString& text) {
    frame->output_text->AppendText(text);
}

void MainWindowTest::ClearOutputFolder() {
    frame->output_text->Clear();
}

std::vector<wxString> MainWindowTest::Entries() const {
    std::vector<wxString> entries;
    for (unsigned i = 0; i < frame->file_list->GetCount(); ++i)
        entries.push_back(frame->InputPath(i));
    return entries;
}

wxString MainWindowTest::StatusText() const {
    return frame->status_line->GetStatusText(0);
}

wxWindow* MainWindowTest::DefaultButton() const {
    return frame->GetDefaultItem();
}

wxArrayString MainWindowTest::Paths(std::initializer_list<std::filesystem::path> paths) {
    wxArrayString result;
    for (const std::filesystem::path& path : paths)
        result.Add(wxString::FromUTF8(path.string()));
    return result;
}

}  // namespace sonorel::test
