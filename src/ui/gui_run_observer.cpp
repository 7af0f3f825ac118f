#include "ui/gui_run_observer.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/utils.h>
#include <wx/window.h>

namespace sonorel {
namespace {

constexpr std::chrono::milliseconds kBatchLineInterval{500};
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

bool GuiRunObserver::ShowsBatch() const {
    return batch_ != nullptr && kind_ == ProgressKind::Processing;
}

wxString GuiRunObserver::Message(double fileFraction) {
    const wxString label = wxString::FromUTF8(label_);
    if (!ShowsBatch()) return label;
    batchShown_ = BatchProgress::Clock::now();
    return label + "\n" + wxString::FromUTF8(batch_->Line(fileFraction, batchShown_));
}

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
    label_ = label;
    dialog_ = std::make_unique<wxProgressDialog>(DialogTitle(kind), Message(0.0), gaugeMaximum_,
                                                 parent_, DialogStyle(kind));
}

bool GuiRunObserver::UpdateProgress(std::int64_t value) {
    if (!dialog_) return false;
    value = std::clamp<std::int64_t>(value, 0, maximum_);
    const int gaugeValue = gaugeMaximum_ == maximum_
                               ? static_cast<int>(value)
                               : static_cast<int>(static_cast<double>(value) /
                                                  static_cast<double>(maximum_) * gaugeMaximum_);
    if (hook_) hook_(*dialog_, kind_, value);
    // False from Update means Cancel was pressed. The batch line is renewed
    // twice a second: more often only makes the time left flicker.
    const BatchProgress::Clock::time_point now = BatchProgress::Clock::now();
    if (ShowsBatch() && now - batchShown_ >= kBatchLineInterval) {
        return !dialog_->Update(
            gaugeValue, Message(static_cast<double>(value) / static_cast<double>(maximum_)));
    }
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
