#include "ui/run_reporting.h"

#include <wx/msgdlg.h>

namespace sonorel {

wxString ProcessingStatus(int number, int count) {
    return wxString::Format("Processing %d of %d...", number, count);
}

wxString StartFailureText(RunResult result) {
    switch (result) {
        case RunOk:
            return {};
        case RunNotStereo:
            return "Input file should be (but is not) stereo";
        case RunBadInput:
            return "Input file could not be opened or is too short";
        case RunNoOutput:
            return "Output file could not be opened";
        case RunIncomplete:
            return "Output file is incomplete";
    }
    return {};
}

wxString PreviewFailureText(RunResult result) {
    switch (result) {
        case RunNoOutput:
            return "Problem playing preview";
        case RunIncomplete:
            return "Preview cancelled";
        default:
            return StartFailureText(result);
    }
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
