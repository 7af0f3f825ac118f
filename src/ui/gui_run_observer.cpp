#include "ui/gui_run_observer.h"

#include <algorithm>
#include <limits>

#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/utils.h>
#include <wx/window.h>

namespace sonorel {
namespace {

constexpr int kCommonStyle = wxPD_CAN_ABORT | wxPD_APP_MODAL | wxPD_AUTO_HIDE | wxPD_SMOOTH;

wxString DialogTitle(ProgressKind kind) {
    return kind == ProgressKind::Processing ? "Processing..." : "Playing...";
}

// Processing shows how long the rest of the file will take; playing shows how
// long it has been playing.
int DialogStyle(ProgressKind kind) {
    return kCommonStyle |
           (kind == ProgressKind::Processing ? wxPD_REMAINING_TIME : wxPD_ELAPSED_TIME);
}

}  // namespace

GuiRunObserver::GuiRunObserver(wxWindow* parent, ProgressHook hook)
    : parent_(parent), hook_(std::move(hook)) {}

GuiRunObserver::~GuiRunObserver() {
    if (dialog_) EndProgress();
    if (busy_) EndBusy();
}

void GuiRunObserver::BeginBusy() {
    if (busy_) return;
    wxBeginBusyCursor();
    busy_ = true;
}

void GuiRunObserver::EndBusy() {
    if (!busy_) return;
    wxEndBusyCursor();
    busy_ = false;
}

void GuiRunObserver::BeginProgress(ProgressKind kind, const std::string& label,
                                   std::int64_t maximum) {
    if (dialog_) EndProgress();
    kind_ = kind;
    maximum_ = std::max<std::int64_t>(maximum, 1);
    gaugeMaximum_ =
        static_cast<int>(std::min<std::int64_t>(maximum_, std::numeric_limits<int>::max()));
    dialog_ = std::make_unique<wxProgressDialog>(DialogTitle(kind), wxString::FromUTF8(label),
                                                 gaugeMaximum_, parent_, DialogStyle(kind));
}

bool GuiRunObserver::UpdateProgress(std::int64_t value) {
    if (!dialog_) return false;
    value = std::clamp<std::int64_t>(value, 0, maximum_);
    const int gaugeValue = gaugeMaximum_ == maximum_
                               ? static_cast<int>(value)
                               : static_cast<int>(static_cast<double>(value) /
                                                  static_cast<double>(maximum_) * gaugeMaximum_);
    if (hook_) hook_(*dialog_, kind_, value);
    // False from Update means Cancel was pressed.
    return !dialog_->Update(gaugeValue);
}

bool GuiRunObserver::ConfirmCancel() {
    cancelled_ = wxMessageBox("Do you really want to cancel?", "Cancel Sonorel?",
                              wxYES_NO | wxICON_QUESTION, parent_) == wxYES;
    return cancelled_;
}

void GuiRunObserver::ResumeProgress() {
    if (dialog_) dialog_->Resume();
}

void GuiRunObserver::EndProgress() {
    dialog_.reset();
    if (parent_ != nullptr) {
        parent_->Refresh();
        parent_->Update();
    }
}

}  // namespace sonorel
