#pragma once
// The observer of one file's run: it moves the file's progress line and
// turns an interrupt (Ctrl-C) into a cancel that needs no confirmation.

#include <atomic>
#include <string>

#include "cli/progress_board.h"
#include "pipeline/run_observer.h"

namespace sonorel {

class FileProgress : public RunObserver {
  public:
    // `cancel` is read once per block of either pass; it outlives the run.
    FileProgress(ProgressBoard& board, std::string name, const std::atomic<bool>& cancel);
    ~FileProgress() override;
    FileProgress(const FileProgress&) = delete;
    FileProgress& operator=(const FileProgress&) = delete;

    void BeginBusy() override;
    void BeginProgress(ProgressKind kind, const std::string& label, std::int64_t maximum) override;
    bool UpdateProgress(std::int64_t value) override;
    bool StopRequested() override { return cancel_.load(std::memory_order_relaxed); }
    // Ctrl-C is the user's answer already.
    bool ConfirmCancel() override { return true; }

  private:
    ProgressBoard& board_;
    ProgressBoard::Slot* slot_;
    const std::atomic<bool>& cancel_;
};

}  // namespace sonorel
