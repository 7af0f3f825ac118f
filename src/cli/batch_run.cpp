#include "cli/batch_run.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "cli/file_progress.h"
#include "cli/interrupt.h"

namespace sonorel {

namespace {

// How often the reporting thread looks at the cancel flag while it waits.
constexpr std::chrono::milliseconds kCancelPoll{50};

class SharedProgress {
  public:
    explicit SharedProgress(std::size_t count) : done_(count, false), outcomes_(count) {}

    void Store(std::size_t index, FileOutcome outcome) {
        {
            std::lock_guard lock(mutex_);
            outcomes_[index] = std::move(outcome);
            done_[index] = true;
        }
        changed_.notify_all();
    }

    void WorkerFinished() {
        {
            std::lock_guard lock(mutex_);
            ++workersFinished_;
        }
        changed_.notify_all();
    }

    // Waits until item `index` is done or every worker has stopped; false when
    // the item will never run. Wakes up every kCancelPoll to call onPoll.
    bool WaitFor(std::size_t index, int workers, const std::function<void()>& onPoll) {
        std::unique_lock lock(mutex_);
        while (!done_[index] && workersFinished_ < workers) {
            changed_.wait_for(lock, kCancelPoll);
            lock.unlock();
            onPoll();
            lock.lock();
        }
        return done_[index];
    }

    std::vector<FileOutcome> TakeOutcomes() {
        std::lock_guard lock(mutex_);
        return std::move(outcomes_);
    }

    const FileOutcome& Outcome(std::size_t index) {
        std::lock_guard lock(mutex_);
        return outcomes_[index];
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<bool> done_;
    std::vector<FileOutcome> outcomes_;
    int workersFinished_ = 0;
};

FileOutcome RunOne(const BatchItem& item, const FileRunner& runner, ProgressBoard& board,
                   const std::atomic<bool>& cancel) {
    FileOutcome outcome;
    outcome.started = true;
    if (!item.skipAs.empty()) {
        outcome.skipped = true;
        outcome.output = item.skipAs;
        return outcome;
    }
    try {
        FileProgress observer(board, item.displayName, cancel);
        outcome.result = runner(item.request, observer, &outcome.output);
    } catch (const std::exception& e) {
        outcome.internalError = e.what();
    } catch (...) {
        outcome.internalError = "unknown error";
    }
    return outcome;
}

}  // namespace

std::vector<FileOutcome> RunBatch(const std::vector<BatchItem>& items, int jobs,
                                  const FileRunner& runner, ProgressBoard& board,
                                  const std::atomic<bool>& cancel, BatchEvents& events) {
    SharedProgress shared(items.size());
    std::atomic<std::size_t> nextItem{0};

    const auto work = [&] {
        for (;;) {
            if (cancel.load()) break;
            const std::size_t index = nextItem.fetch_add(1);
            if (index >= items.size()) break;
            shared.Store(index, RunOne(items[index], runner, board, cancel));
        }
        shared.WorkerFinished();
    };

    std::vector<std::jthread> workers;
    const std::size_t wanted = std::min<std::size_t>(std::max(jobs, 1), items.size());
    int workerCount = 0;
    {
        // Ctrl-C and SIGTERM reach this thread, not the workers (nor the
        // playback and audio threads they start), so that they interrupt a
        // report stuck on a full pipe, never a worker's call.
        const InterruptsLeftToTheMainThread signalsHere;
        for (std::size_t i = 0; i < wanted; ++i) {
            try {
                workers.emplace_back(work);
                ++workerCount;
            } catch (const std::system_error&) {
                break;  // fewer threads than asked for; those that started share the work
            }
        }
    }
    if (workerCount == 0 && !items.empty()) {
        work();  // not even one thread: run everything here, then report
        workerCount = 1;
    }

    bool cancelReported = false;
    const auto poll = [&] {
        if (!cancelReported && cancel.load()) {
            cancelReported = true;
            events.CancelSeen();
        }
    };

    for (std::size_t i = 0; i < items.size(); ++i) {
        if (shared.WaitFor(i, workerCount, poll)) {
            events.FileDone(i, items[i], shared.Outcome(i));
        } else {
            events.FileDone(i, items[i], FileOutcome{});
        }
    }
    poll();
    workers.clear();  // joins
    return shared.TakeOutcomes();
}

}  // namespace sonorel
