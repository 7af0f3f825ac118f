#pragma once
// Runs the per-file run over a list of files with a number of worker
// threads, and hands the results back in list order as soon as each one and
// all before it are known.
//
// Each worker takes the next file that nobody has taken and runs it to its
// end on its own thread, so with N jobs at most N files run at once. Once a
// cancel is requested, no worker takes another file; files never started
// come back with started = false.

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli/progress_board.h"
#include "pipeline/process_file.h"
#include "report/file_record.h"

namespace sonorel {

// ProcessFile, or a stand-in for tests.
using FileRunner =
    std::function<RunResult(const RunRequest&, RunObserver&, std::filesystem::path*)>;

struct BatchItem {
    std::string displayName;  // the input as the user gave it
    RunRequest request;
    // Set when the item is not run because this finished output exists
    // (--skip-existing).
    std::filesystem::path skipAs;
};

class BatchEvents {
  public:
    virtual ~BatchEvents() = default;
    // On the calling thread, in list order.
    virtual void FileDone(std::size_t index, const BatchItem& item, const FileOutcome& outcome) = 0;
    // On the calling thread, once, as soon as it sees the cancel request.
    virtual void CancelSeen() {}
};

// Returns the outcome of every item, in list order. `jobs` is at least 1.
std::vector<FileOutcome> RunBatch(const std::vector<BatchItem>& items, int jobs,
                                  const FileRunner& runner, ProgressBoard& board,
                                  const std::atomic<bool>& cancel, BatchEvents& events);

}  // namespace sonorel
