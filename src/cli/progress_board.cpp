#include "cli/progress_board.h"

#include <algorithm>

namespace sonorel {

namespace {

constexpr std::chrono::milliseconds kRedrawInterval{100};
// More lines than a screen holds would scroll away from the cursor-up count.
constexpr std::size_t kMaxLinesShown = 16;

}  // namespace

class ProgressBoard::Slot {
  public:
    explicit Slot(std::string fileName) : name(std::move(fileName)) {}

    const std::string name;
    const Clock::time_point started = Clock::now();
    // Written under the board's lock, except value, which Update stores without it.
    ProgressPhase phase = ProgressPhase::Waiting;
    Clock::time_point phaseStarted = started;
    std::int64_t maximum = 0;
    std::atomic<std::int64_t> value{0};
};

ProgressBoard::ProgressBoard(std::ostream* bars, int widthColumns)
    : bars_(bars), widthColumns_(widthColumns) {}

ProgressBoard::~ProgressBoard() {
    std::lock_guard lock(mutex_);
    EraseLocked();
}

ProgressBoard::Slot* ProgressBoard::Open(std::string name) {
    std::lock_guard lock(mutex_);
    slots_.push_back(std::make_unique<Slot>(std::move(name)));
    Slot* slot = slots_.back().get();
    RedrawLocked(Clock::now());
    return slot;
}

void ProgressBoard::Begin(Slot* slot, ProgressPhase phase, std::int64_t maximum) {
    std::lock_guard lock(mutex_);
    slot->phase = phase;
    slot->phaseStarted = Clock::now();
    slot->maximum = maximum;
    slot->value.store(0, std::memory_order_relaxed);
    RedrawLocked(slot->phaseStarted);
}

void ProgressBoard::Update(Slot* slot, std::int64_t value) {
    slot->value.store(value, std::memory_order_relaxed);
    if (!bars_) return;
    const Clock::time_point now = Clock::now();
    const std::int64_t last = lastRedrawTicks_.load(std::memory_order_relaxed);
    if (now.time_since_epoch().count() - last <
        std::chrono::duration_cast<Clock::duration>(kRedrawInterval).count()) {
        return;
    }
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (lock.owns_lock()) RedrawLocked(now);
}

void ProgressBoard::Close(Slot* slot) {
    std::lock_guard lock(mutex_);
    std::erase_if(slots_, [slot](const std::unique_ptr<Slot>& s) { return s.get() == slot; });
    RedrawLocked(Clock::now());
}

void ProgressBoard::Print(std::ostream& stream, std::string_view line) {
    std::lock_guard lock(mutex_);
    EraseLocked();
    if (bars_) bars_->flush();
    stream << line << '\n';
    stream.flush();
    RedrawLocked(Clock::now());
}

void ProgressBoard::EraseLocked() {
    if (!bars_ || linesShown_ == 0) return;
    // Back to the first progress line, then clear to the end of the screen.
    *bars_ << "\r\x1b[" << linesShown_ << "A\x1b[J";
    linesShown_ = 0;
}

void ProgressBoard::RedrawLocked(Clock::time_point now) {
    lastRedrawTicks_.store(now.time_since_epoch().count(), std::memory_order_relaxed);
    if (!bars_) return;
    EraseLocked();
    // The "\r" also puts back a line that the terminal's echo of ^C moved on.
    *bars_ << '\r';
    const bool overflow = slots_.size() > kMaxLinesShown;
    const std::size_t shown = overflow ? kMaxLinesShown - 1 : slots_.size();
    std::size_t nameColumns = 0;
    for (std::size_t i = 0; i < shown; ++i) {
        nameColumns = std::max(nameColumns, std::min(slots_[i]->name.size(), kMaxNameColumns));
    }
    for (std::size_t i = 0; i < shown; ++i) {
        const Slot* slot = slots_[i].get();
        ProgressSnapshot snapshot;
        snapshot.name = slot->name;
        snapshot.nameColumns = nameColumns;
        snapshot.phase = slot->phase;
        snapshot.maximum = slot->maximum;
        snapshot.value = slot->value.load(std::memory_order_relaxed);
        snapshot.elapsedSeconds = std::chrono::duration<double>(now - slot->started).count();
        snapshot.phaseElapsedSeconds =
            std::chrono::duration<double>(now - slot->phaseStarted).count();
        *bars_ << "\x1b[2K" << FormatProgressLine(snapshot, widthColumns_) << '\n';
    }
    if (overflow) {
        *bars_ << "\x1b[2K... and " << (slots_.size() - shown) << " more running\n";
    }
    linesShown_ = overflow ? kMaxLinesShown : slots_.size();
    bars_->flush();
}

}  // namespace sonorel
