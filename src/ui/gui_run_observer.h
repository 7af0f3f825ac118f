#pragma once
// What the user sees of a per-file run in the desktop program: the busy
// cursor over the analysis pass, an application-modal "Processing..." or
// "Playing..." progress dialog with a Cancel button, and the "Do you really
// want to cancel?" question. Lives on the user-interface thread for one run.
//
// The dialog's Update handles pending window events, so between two blocks
// (or two 125 ms playback polls) the windows repaint and Cancel takes effect.
// The run itself lowers the thread's priority for the processing pass.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "pipeline/run_observer.h"
#include "ui/batch_progress.h"

class wxProgressDialog;
class wxString;
class wxWindow;

namespace sonorel {

// Called with the open progress dialog just before it moves to `value`. The
// program sets none; tests press the dialog's Cancel button from it, and the
// screenshot tool takes its picture.
using ProgressHook = std::function<void(wxProgressDialog&, ProgressKind, std::int64_t value)>;

class GuiRunObserver final : public RunObserver {
  public:
    // `parent` (the main window) owns the dialogs and is repainted when a
    // progress display ends.
    explicit GuiRunObserver(wxWindow* parent, ProgressHook hook = {});
    // Ends a busy cursor or closes a dialog that the run left open.
    ~GuiRunObserver() override;
    GuiRunObserver(const GuiRunObserver&) = delete;
    GuiRunObserver& operator=(const GuiRunObserver&) = delete;

    void BeginBusy() override;
    void EndBusy() override;
    void BeginProgress(ProgressKind kind, const std::string& label, std::int64_t maximum) override;
    bool UpdateProgress(std::int64_t value) override;
    bool ConfirmCancel() override;
    void ResumeProgress() override;
    void EndProgress() override;

    // In a Go! over several files, the processing dialog shows under the
    // file's label where the whole batch stands (not owned; nullptr: not).
    void FollowBatch(const BatchProgress* batch) { batch_ = batch; }

    // Whether the user answered Yes to "Do you really want to cancel?".
    bool Cancelled() const { return cancelled_; }

  private:
    bool ShowsBatch() const;
    // The dialog's text for the current file `fileFraction` done: its label,
    // and the batch line when there is one.
    wxString Message(double fileFraction);

    wxWindow* parent_;
    ProgressHook hook_;
    bool busy_ = false;
    bool cancelled_ = false;
    const BatchProgress* batch_ = nullptr;
    std::string label_;
    BatchProgress::Clock::time_point batchShown_{};
    ProgressKind kind_ = ProgressKind::Processing;
    std::unique_ptr<wxProgressDialog> dialog_;
    // The gauge counts in int: a maximum beyond that is shown in proportion.
    std::int64_t maximum_ = 0;
    int gaugeMaximum_ = 0;
};

}  // namespace sonorel
