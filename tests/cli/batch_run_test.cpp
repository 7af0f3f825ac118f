#include "cli/batch_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace sonorel {
namespace {

class RecordingEvents : public BatchEvents {
  public:
    void FileDone(std::size_t index, const BatchItem&, const FileOutcome& outcome) override {
        order.push_back(index);
        results.push_back(outcome);
    }
    void CancelSeen() override { ++cancelsSeen; }

    std::vector<std::size_t> order;
    std::vector<FileOutcome> results;
    int cancelsSeen = 0;
};

std::vector<BatchItem> Items(int count) {
    std::vector<BatchItem> items(count);
    for (int i = 0; i < count; ++i) {
        items[i].displayName = "f" + std::to_string(i) + ".wav";
        items[i].request.input = items[i].displayName;
    }
    return items;
}

int IndexOf(const RunRequest& request) {
    return std::stoi(request.input.stem().string().substr(1));
}

// The first file cannot finish before the second has: with two jobs the
// results still come back in list order.
TEST(BatchRun, ReportsInListOrderWhenALaterFileFinishesFirst) {
    std::promise<void> secondDone;
    std::shared_future<void> secondDoneFuture = secondDone.get_future().share();
    const FileRunner runner = [&](const RunRequest& request, RunObserver&,
                                  std::filesystem::path* created) {
        const int index = IndexOf(request);
        if (index == 0) secondDoneFuture.wait();
        *created = "/out/" + request.input.string();
        if (index == 1) secondDone.set_value();
        return index == 1 ? RunResult::RunNotStereo : RunResult::RunOk;
    };
    ProgressBoard board(nullptr);
    std::atomic<bool> cancel{false};
    RecordingEvents events;
    const std::vector<FileOutcome> outcomes = RunBatch(Items(2), 2, runner, board, cancel, events);
    EXPECT_EQ(events.order, (std::vector<std::size_t>{0, 1}));
    ASSERT_EQ(events.results.size(), 2u);
    EXPECT_EQ(events.results[0].result, RunResult::RunOk);
    EXPECT_EQ(events.results[0].output, "/out/f0.wav");
    EXPECT_EQ(events.results[1].result, RunResult::RunNotStereo);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_TRUE(outcomes[0].started && outcomes[1].started);
}

TEST(BatchRun, NeverRunsMoreFilesAtOnceThanJobs) {
    std::mutex mutex;
    int running = 0, mostRunning = 0;
    const FileRunner runner = [&](const RunRequest&, RunObserver&, std::filesystem::path*) {
        {
            std::lock_guard lock(mutex);
            mostRunning = std::max(mostRunning, ++running);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::lock_guard lock(mutex);
        --running;
        return RunResult::RunOk;
    };
    ProgressBoard board(nullptr);
    std::atomic<bool> cancel{false};
    RecordingEvents events;
    RunBatch(Items(9), 3, runner, board, cancel, events);
    EXPECT_EQ(events.order.size(), 9u);
    EXPECT_LE(mostRunning, 3);
    EXPECT_GE(mostRunning, 1);
}

// A cancel reaches the running file through its observer, and no file starts
// after it; the files never started are reported as such, in order.
TEST(BatchRun, CancelStopsTheRunningFileAndStartsNoOther) {
    std::atomic<bool> cancel{false};
    std::atomic<int> started{0};
    const FileRunner runner = [&](const RunRequest&, RunObserver& observer,
                                  std::filesystem::path*) {
        ++started;
        observer.BeginProgress(ProgressKind::Processing, "f", 100);
        for (int block = 1; block <= 100; ++block) {
            if (block == 10) cancel = true;  // as Ctrl-C would
            if (observer.UpdateProgress(block) && observer.ConfirmCancel())
                return RunResult::RunIncomplete;
        }
        return RunResult::RunOk;
    };
    ProgressBoard board(nullptr);
    RecordingEvents events;
    const std::vector<FileOutcome> outcomes = RunBatch(Items(4), 1, runner, board, cancel, events);
    EXPECT_EQ(started.load(), 1);
    EXPECT_EQ(events.order, (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_EQ(events.results[0].result, RunResult::RunIncomplete);
    for (int i = 1; i < 4; ++i)
        EXPECT_FALSE(events.results[i].started) << i;
    EXPECT_EQ(events.cancelsSeen, 1);
    EXPECT_EQ(outcomes.size(), 4u);
}

TEST(BatchRun, AFileThatThrowsIsReportedAndTheOthersStillRun) {
    const FileRunner runner = [](const RunRequest& request, RunObserver&,
                                 std::filesystem::path*) -> RunResult {
        if (IndexOf(request) == 1) throw std::runtime_error("out of memory");
        return RunResult::RunOk;
    };
    ProgressBoard board(nullptr);
    std::atomic<bool> cancel{false};
    RecordingEvents events;
    RunBatch(Items(3), 2, runner, board, cancel, events);
    ASSERT_EQ(events.results.size(), 3u);
    EXPECT_EQ(events.results[1].internalError, "out of memory");
    EXPECT_TRUE(events.results[0].internalError.empty());
    EXPECT_TRUE(events.results[2].started);
}

TEST(BatchRun, AnEmptyListRunsNothing) {
    const FileRunner runner = [](const RunRequest&, RunObserver&, std::filesystem::path*) {
        ADD_FAILURE() << "ran a file";
        return RunResult::RunOk;
    };
    ProgressBoard board(nullptr);
    std::atomic<bool> cancel{false};
    RecordingEvents events;
    EXPECT_TRUE(RunBatch({}, 4, runner, board, cancel, events).empty());
    EXPECT_TRUE(events.order.empty());
}

}  // namespace
}  // namespace sonorel
