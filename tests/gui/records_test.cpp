// The Records group: what Go! keeps beside the outputs is what sonorel-cli
// keeps at the same settings, byte for byte.

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/slider.h>
#include <wx/utils.h>

#include "gui_fixture.h"
#include "run_test_support.h"
#include "ui/kept_records.h"

namespace sonorel::test {
namespace {

class RecordsTest : public MainWindowTest {};

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
    static const std::regex kTimes(R"re("(seconds|realtime_factor)":[^,}]+|"finished":"[^"]*")re");
    return std::regex_replace(report, kTimes, "");
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

    DialogAnswers answers;  // the mono file: go on with the rest
    answers.Expect([](wxDialog*) { return static_cast<int>(wxID_YES); });
    Click(frame->go_button);
    ASSERT_EQ(answers.ShownCount(), 1);

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
