#include "ui/run_reporting.h"

#include <string>

#include <wx/msgdlg.h>

#include "pipeline/result_messages.h"

namespace sonorel {

wxString ProcessingStatus(int number, int count) {
    return wxString::Format("Processing %d of %d...", number, count);
}

wxString StartFailureText(RunResult result) {
    return wxString::FromUTF8(std::string(ResultMessage(result, RunKind::Restore)));
}

wxString PreviewFailureText(RunResult result) {
    return wxString::FromUTF8(std::string(ResultMessage(result, RunKind::Preview)));
}

bool ReportFailure(wxWindow* parent, const wxString& text, bool moreFollow,
                   const wxString& stoppedCaption, long stoppedIcon) {
    if (moreFollow) {
        return wxMessageBox(text + ". Process remaining files?", "Continue Sonorel?",
                            wxYES_NO | wxICON_QUESTION, parent) == wxYES;
    }
    wxMessageBox(text + ".", stoppedCaption, wxOK | stoppedIcon, parent);
    return false;
}

std::filesystem::path ToPath(const wxString& text) {
    return std::filesystem::path(static_cast<const char*>(text.fn_str()));
}

}  // namespace sonorel
