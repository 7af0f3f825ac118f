#include "support/fake_playback_output.h"

#include <algorithm>
#include <thread>

namespace sonorel::test {

bool FakePlaybackOutput::Open(int sampleRate, std::int64_t chunkFrames) {
    const std::lock_guard lock(mutex_);
    ++opens_;
    sampleRate_ = sampleRate;
    chunkFrames_ = chunkFrames;
    if (openSucceeds) {
        ++openNow_;
        mostOpenAtOnce_ = std::max(mostOpenAtOnce_, openNow_);
    }
    return openSucceeds;
}

std::int64_t FakePlaybackOutput::WritableFrames() {
    const std::lock_guard lock(mutex_);
    if (gone) return -1;
    return stalled ? 0 : std::int64_t{1} << 20;
}

bool FakePlaybackOutput::Write(std::span<const std::int16_t> chunk) {
    int index = 0;
    {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return !held_; });
    }
    if (writeDelay.count() > 0) std::this_thread::sleep_for(writeDelay);
    {
        const std::lock_guard lock(mutex_);
        if (openNow_ == 0) return false;
        index = writes_++;
    }
    onWrite(index);
    const std::lock_guard lock(mutex_);
    if (index == failAtWrite) return false;
    samples_.insert(samples_.end(), chunk.begin(), chunk.end());
    return true;
}

void FakePlaybackOutput::Close(bool drain) {
    const std::lock_guard lock(mutex_);
    ++closes_;
    drained_ = drain;
    if (openNow_ > 0) --openNow_;
}

void FakePlaybackOutput::HoldWrites() {
    const std::lock_guard lock(mutex_);
    held_ = true;
}

void FakePlaybackOutput::ReleaseWrites() {
    {
        const std::lock_guard lock(mutex_);
        held_ = false;
    }
    released_.notify_all();
}

std::vector<std::int16_t> PatternBuffer(std::int64_t samples) {
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(samples));
    for (std::int64_t i = 0; i < samples; ++i) {
        buffer[static_cast<std::size_t>(i)] = static_cast<std::int16_t>((i * 7919) % 65521 - 32760);
    }
    return buffer;
}

}  // namespace sonorel::test
