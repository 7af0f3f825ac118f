#pragma once
// How a per-file run talks to whoever started it: the GUI plugs in its busy
// cursor, progress dialog and message box, sonorel-cli a terminal progress
// bar, the tests a scripted fake. All calls come from the thread that runs
// the run; an observer shared by several runs must be made thread-safe by
// its owner.

#include <cstdint>
#include <string>

#include "pipeline/preview_source.h"

namespace sonorel {

// The stage of a run that a progress display follows. Its wording is the
// front end's business.
enum class ProgressKind {
    Processing,  // the processing pass: cancel asks first (Start runs); a time left fits
    Playing,     // a preview playing: cancel stops at once; the time played fits
};

class RunObserver {
  public:
    virtual ~RunObserver() = default;

    // Around the analysis pass and the derivation of the kernel parameters.
    virtual void BeginBusy() {}
    virtual void EndBusy() {}
    // Asked before each analysis block (7060 frames), which shows no
    // progress of its own, and while an input of unstated length is counted
    // at opening: true stops the run there, without a question, so that
    // reading a long file does not outlast a request to stop.
    virtual bool StopRequested() { return false; }

    // A progress display of a stage, with a label (the file name without
    // folder and extension) and a maximum.
    virtual void BeginProgress(ProgressKind kind, const std::string& label, std::int64_t maximum) {
        (void)kind, (void)label, (void)maximum;
    }
    // Moves the display to `value`; returns true when the user asked to cancel.
    virtual bool UpdateProgress(std::int64_t value) {
        (void)value;
        return false;
    }
    // "Do you really want to cancel?" - true for Yes (stop the run).
    virtual bool ConfirmCancel() { return true; }
    // Clears a cancel request that the user took back.
    virtual void ResumeProgress() {}
    virtual void EndProgress() {}

    // While a preview plays, after each progress update: the source the
    // user wants to hear, and then the one playing now (the switch takes
    // effect at the next chunk).
    virtual PreviewSource ChosenSource() { return PreviewSource::Restored; }
    virtual void ShowSource(PreviewSource playing) { (void)playing; }
};

}  // namespace sonorel
