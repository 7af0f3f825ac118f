#include "cli/file_progress.h"

namespace sonorel {

FileProgress::FileProgress(ProgressBoard& board, std::string name, const std::atomic<bool>& cancel)
    : board_(board), slot_(board.Open(std::move(name))), cancel_(cancel) {}

FileProgress::~FileProgress() {
    board_.Close(slot_);
}

void FileProgress::BeginBusy() {
    board_.Begin(slot_, ProgressPhase::Analysing, 0);
}

void FileProgress::BeginProgress(ProgressKind kind, const std::string& label,
                                 std::int64_t maximum) {
    (void)label;  // the line shows the input's name, as given
    board_.Begin(slot_,
                 kind == ProgressKind::Playing ? ProgressPhase::Playing : ProgressPhase::Processing,
                 maximum);
}

bool FileProgress::UpdateProgress(std::int64_t value) {
    board_.Update(slot_, value);
    return cancel_.load(std::memory_order_relaxed);
}

}  // namespace sonorel
