#pragma once
// A RunObserver that records every call as a line of text and answers cancel
// requests from a script, so tests can check the exact call sequence.

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "pipeline/run_observer.h"

namespace sonorel::test {

class ScriptedObserver : public RunObserver {
  public:
    // Called with each progress value; true asks to cancel there.
    std::function<bool(ProgressKind, std::int64_t)> cancelAt = [](ProgressKind, std::int64_t) {
        return false;
    };
    // Answers to "Do you really want to cancel?", in order; Yes when exhausted.
    std::deque<bool> confirmAnswers;
    // Answers true to the `stopBeforeAnalysisBlock`-th StopRequested (from
    // 0): before that analysis block, unless the input's length was counted
    // at opening, which asks too.
    std::int64_t stopBeforeAnalysisBlock = -1;

    void BeginBusy() override { Record("BeginBusy"); }
    void EndBusy() override { Record("EndBusy"); }
    bool StopRequested() override {
        const std::lock_guard lock(mutex_);
        return analysisBlocks_++ == stopBeforeAnalysisBlock;
    }
    void BeginProgress(ProgressKind kind, const std::string& label, std::int64_t maximum) override {
        kind_ = kind;
        Record(std::string("BeginProgress ") +
               (kind == ProgressKind::Processing ? "Processing " : "Playing ") + label + " " +
               std::to_string(maximum));
    }
    bool UpdateProgress(std::int64_t value) override {
        const std::lock_guard lock(mutex_);
        updates_.push_back(value);
        return cancelAt(kind_, value);
    }
    bool ConfirmCancel() override {
        Record("ConfirmCancel");
        if (confirmAnswers.empty()) return true;
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    void ResumeProgress() override { Record("ResumeProgress"); }
    void EndProgress() override { Record("EndProgress"); }

    // Every call but the progress updates, in order.
    std::vector<std::string> Calls() const {
        const std::lock_guard lock(mutex_);
        return calls_;
    }
    // How often the analysis pass asked whether to stop.
    std::int64_t StopQuestions() const {
        const std::lock_guard lock(mutex_);
        return analysisBlocks_;
    }
    // The progress values of every display, in order.
    std::vector<std::int64_t> Updates() const {
        const std::lock_guard lock(mutex_);
        return updates_;
    }

  private:
    void Record(std::string call) {
        const std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }

    mutable std::mutex mutex_;
    ProgressKind kind_ = ProgressKind::Processing;
    std::vector<std::string> calls_;
    std::vector<std::int64_t> updates_;
    std::int64_t analysisBlocks_ = 0;
};

}  // namespace sonorel::test
