// The Records group: what Go! keeps beside the outputs is what sonorel-cli
// keeps at the same settings, byte for byte, and the summary after it lists
// each file and opens its picture and folder from the keyboard.

#include <algorithm>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "gui_fixture.h"
#include "run_test_support.h"
#include "ui/kept_records.h"
#include "ui/my_event_summary.h"
#include "user_input.h"

namespace sonorel::test {
namespace {

class RecordsTest : public MainWindowTest {
  protected:
    UserInput input;
};

std::string ReadText(const std::filesystem::path& path) {
    const std::vector<unsigned char> bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

// The report without what only says when and how fast, and with `from`
// (the GUI's folder) written as `to`.
std::string Comparable(std::string report, const std::string& from, const std::string& to) {
    for (std::size_t at = from.empty() ? std::string::npos : report.find(from);
         at != std::string::npos; at = report.find(from, at + to.size())) {
        report.replace(at, from.size(), to);
    }
    // Drops each timing field's value up to the next ',' or '}'.
    for (const std::string key : {"\"seconds\":", "\"realtime_factor\":", "\"finished\":"}) {
        for (std::size_t at = report.find(key); at != std::string::npos;
             at = report.find(key, at)) {
            const std::size_t end = report.find_first_of(",}", at + key.size());
            report.erase(at, (end == std::string::npos ? report.size() : end) - at);
        }
    }
    return report;
}

TEST_F(RecordsTest, GoKeepsWhatTheCliKeepsAtTheSameSettings) {
    Open();
    const std::filesystem::path in = Folder() / "in";
    std::filesystem::create_directories(in);
    WriteStereo(in / "a.wav", kInputFrames, 1);
    WriteMono(in / "b.wav");
    WriteStereo(in / "c.wav", kInputFrames, 3);
    frame->AddFiles(Paths({in / "a.wav", in / "b.wav", in / "c.wav"}));
    const std::filesystem::path gui = Folder() / "gui";
    const std::filesystem::path cli = Folder() / "cli";
    std::filesystem::create_directories(gui);
    std::filesystem::create_directories(cli);
    Type(wxString::FromUTF8(gui.string()));
    frame->click_slider->SetValue(7);
    frame->picture_check->SetValue(true);
    frame->report_check->SetValue(true);
    frame->align_check->SetValue(true);
    frame->summary_check->SetValue(true);
    std::vector<wxString> opened;
    frame->open_with_desktop = [&](const wxString& path) {
        opened.push_back(path);
        return true;
    };

    DialogAnswers answers;  // the mono file: go on with the rest
    answers.Expect([](wxDialog*) { return static_cast<int>(wxID_YES); });
    MyEventSummary* summary = nullptr;
    std::vector<std::vector<wxString>> table;
    wxString totals;
    answers.Expect([&](wxDialog* dialog) {
        summary = dynamic_cast<MyEventSummary*>(dialog);
        return static_cast<int>(wxID_NONE);  // shown, for the keys below
    });
    // The first row is selected: its picture, then the next row's folder.
    input.InTurn({{[&] { return summary != nullptr && UserInput::Focused(*summary); },
                   [&] {
                       for (long row = 0; row < summary->rows_list->GetItemCount(); ++row) {
                           table.emplace_back();
                           for (int column = 0; column < kSummaryColumns; ++column)
                               table.back().push_back(summary->rows_list->GetItemText(row, column));
                       }
                       totals = summary->totals_text->GetLabel();
                       input.Press('p', wxMOD_ALT);
                   }},
                  {[&] { return opened.size() == 1; }, [&] { input.Press('f', wxMOD_ALT); }},
                  {[&] { return opened.size() == 2; }, [&] { input.Press(WXK_ESCAPE); }}});
    Click(frame->go_button);
    ASSERT_EQ(answers.ShownCount(), 2);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0][kResultColumn], "restored");
    EXPECT_TRUE(table[1][kResultColumn].StartsWith("failed: ")) << table[1][kResultColumn];
    EXPECT_EQ(table[2][kOutputColumn], "c.wav");
    EXPECT_EQ(totals, "3 files: 2 restored, 1 failed.");
    const std::vector<wxString> expectedOpened = {wxString::FromUTF8((gui / "a.png").string()),
                                                  wxString::FromUTF8(gui.string())};
    EXPECT_EQ(opened, expectedOpened);

    const std::string report = (cli / kReportFileName).string();
    const std::string folder = cli.string();
    const std::string inputs[] = {(in / "a.wav").string(), (in / "b.wav").string(),
                                  (in / "c.wav").string()};
    const char* const argv[] = {SONOREL_CLI_PROGRAM,
                                "-q",
                                "-o",
                                folder.c_str(),
                                "--report",
                                report.c_str(),
                                "--picture",
                                folder.c_str(),
                                "--align",
                                "--click",
                                "7",
                                inputs[0].c_str(),
                                inputs[1].c_str(),
                                inputs[2].c_str(),
                                nullptr};
    ASSERT_EQ(wxExecute(argv, wxEXEC_BLOCK), 1);  // one file was refused

    const std::vector<std::string> names = {"a.png", "a.wav", "c.png", "c.wav", kReportFileName};
    ASSERT_EQ(FileNamesIn(gui), names);
    ASSERT_EQ(FileNamesIn(cli), names);
    for (const char* name : {"a.wav", "c.wav"}) {
        EXPECT_EQ(ReadBytes(gui / name), ReadBytes(cli / name)) << name;
    }
    // The pictures print the run's speed ("40x real time"), so they are
    // compared by name only.
    const std::string guiReport = ReadText(gui / kReportFileName);
    EXPECT_EQ(std::count(guiReport.begin(), guiReport.end(), '\n'), 3);
    EXPECT_EQ(Comparable(guiReport, gui.string(), cli.string()),
              Comparable(ReadText(cli / kReportFileName), "", ""));
}

}  // namespace
}  // namespace sonorel::test
