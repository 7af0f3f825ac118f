#include "pipeline/read_ahead.h"

namespace sonorel {

ReadAhead::ReadAhead(SoundReader& reader, std::int64_t blocks)
    : reader_(reader), blocks_(blocks), thread_([this] { Run(); }) {}

ReadAhead::~ReadAhead() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

const ReadSlot* ReadAhead::Next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return filled_ > released_; });
    const ReadSlot& slot = slots_[static_cast<std::size_t>(released_ % kReadAheadBlocks)];
    return slot.ok ? &slot : nullptr;
}

void ReadAhead::Release() {
    {
        const std::lock_guard lock(mutex_);
        ++released_;
    }
    changed_.notify_all();
}

void ReadAhead::Run() {
    for (std::int64_t block = 0; block < blocks_; ++block) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || block - released_ < kReadAheadBlocks; });
            if (stopping_) return;
        }
        ReadSlot& slot = slots_[static_cast<std::size_t>(block % kReadAheadBlocks)];
        slot.ok = reader_.Read(slot.left, slot.right, kBlockLength) >= 0;
        {
            const std::lock_guard lock(mutex_);
            filled_ = block + 1;
        }
        changed_.notify_all();
        if (!slot.ok) return;  // the owner stops at this block
    }
}

}  // namespace sonorel
