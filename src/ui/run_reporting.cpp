#include "ui/run_reporting.h"

#include <string>
#include <system_error>

#include <wx/msgdlg.h>

#include "pipeline/result_messages.h"

namespace sonorel {

wxString ProcessingStatus(int number, int count) {
    return wxString::Format("Processing %d of %d...", number, count);
}

namespace {

// Told apart from an unreadable or short file here, from the file system:
// the per-file run reports both as bad input.
bool Gone(const wxString& input) {
    std::error_code error;
    return !std::filesystem::exists(ToPath(input), error) && !error;
}

wxString FailureText(RunResult result, RunKind kind, const wxString& input) {
    if (result == RunResult::RunBadInput && Gone(input)) return kInputGoneMessage;
    return wxString::FromUTF8(std::string(ResultMessage(result, kind)));
}

}  // namespace

wxString StartFailureText(RunResult result, const wxString& input) {
    return FailureText(result, RunKind::Restore, input);
}

wxString PreviewFailureText(RunResult result, const wxString& input) {
    return FailureText(result, RunKind::Preview, input);
}

bool ReportFailure(wxWindow* parent, const wxString& text, const wxString& input, bool moreFollow,
                   const wxString& stoppedCaption, long stoppedIcon) {
    if (moreFollow) {
        return wxMessageBox(text + ". Process remaining files?\n" + input, "Continue Sonorel?",
                            wxYES_NO | wxICON_QUESTION, parent) == wxYES;
    }
    wxMessageBox(text + ".\n" + input, stoppedCaption, wxOK | stoppedIcon, parent);
    return false;
}

std::filesystem::path ToPath(const wxString& text) {
    return std::filesystem::path(static_cast<const char*>(text.fn_str()));
}

}  // namespace sonorel
