// The GUI suite's entry: a real wxApp on the display that xvfb-run provides
// (or on an X server of its own, see private_x_server.h), a throw-away
// $XDG_CONFIG_HOME so that no test sees or changes the user's
// settings, and any toolkit assertion or logged error turned into a test
// failure.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <exception>
#include <optional>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/stdpaths.h>

#include "private_x_server.h"
#include "resources/help_book.h"
#include "support/temp_folder.h"

namespace {

class TestApp : public wxApp {
  public:
    // The toolkit's command-line parsing is skipped: GoogleTest owns the
    // arguments.
    bool OnInit() override { return true; }
};

void FailOnAssert(const wxString& file, int line, const wxString& function,
                  const wxString& condition, const wxString& message) {
    ADD_FAILURE_AT(file.utf8_str().data(), line)
        << "wx assertion in " << function << ": " << condition << " " << message;
}

class FailOnErrorLog : public wxLog {
  protected:
    void DoLogTextAtLevel(wxLogLevel level, const wxString& text) override {
        if (level <= wxLOG_Error) ADD_FAILURE() << "wx logged an error: " << text;
    }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

    std::optional<sonorel::test::TempFolder> configHome;
    std::optional<sonorel::test::PrivateXServer> xServer;
    try {
        configHome.emplace("gui-tests");
        if (sonorel::test::PrivateXServer::Wanted()) xServer.emplace();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    setenv("XDG_CONFIG_HOME", configHome->Path().c_str(), 1);

    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv)) return 2;
    wxTheApp->CallOnInit();
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
    wxConfigBase::DontCreateOnDemand();
    wxInitAllImageHandlers();
    wxSetAssertHandler(FailOnAssert);
    delete wxLog::SetActiveTarget(new FailOnErrorLog);
    sonorel::UseHelpBook(SONOREL_BUILD_TREE_HELP_BOOK);

    const int result = RUN_ALL_TESTS();

    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
