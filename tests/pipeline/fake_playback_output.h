#pragma once
// A PlaybackOutput that keeps what it is given: the samples written, the
// number of calls, and optionally a delay per write or a failure at a chosen
// write. Thread-safe: the playback thread writes while the test thread reads.

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "pipeline/playback_output.h"

namespace sonorel::test {

class FakePlaybackOutput : public PlaybackOutput {
  public:
    bool openSucceeds = true;
    int failAtWrite = -1;  // index of the write that fails, -1 for none
    std::chrono::milliseconds writeDelay{0};
    // Called on the writing thread during each write, with its index.
    std::function<void(int)> onWrite = [](int) {};

    bool Open(int sampleRate, std::int64_t chunkFrames) override {
        const std::lock_guard lock(mutex_);
        ++opens_;
        sampleRate_ = sampleRate;
        chunkFrames_ = chunkFrames;
        open_ = openSucceeds;
        return openSucceeds;
    }

    bool Write(std::span<const std::int16_t> chunk) override {
        if (writeDelay.count() > 0) std::this_thread::sleep_for(writeDelay);
        int index = 0;
        {
            const std::lock_guard lock(mutex_);
            if (!open_) return false;
            index = writes_++;
        }
        onWrite(index);
        const std::lock_guard lock(mutex_);
        if (index == failAtWrite) return false;
        samples_.insert(samples_.end(), chunk.begin(), chunk.end());
        return true;
    }

    void Close(bool drain) override {
        const std::lock_guard lock(mutex_);
        ++closes_;
        drained_ = drain;
        open_ = false;
    }

    int Opens() const { return Locked(opens_); }
    int Writes() const { return Locked(writes_); }
    int Closes() const { return Locked(closes_); }
    bool Drained() const { return Locked(drained_); }
    bool IsOpen() const { return Locked(open_); }
    int SampleRate() const { return Locked(sampleRate_); }
    std::int64_t ChunkFrames() const { return Locked(chunkFrames_); }
    std::vector<std::int16_t> Samples() const { return Locked(samples_); }

  private:
    template <typename T>
    T Locked(const T& value) const {
        const std::lock_guard lock(mutex_);
        return value;
    }

    mutable std::mutex mutex_;
    int opens_ = 0;
    int writes_ = 0;
    int closes_ = 0;
    bool drained_ = false;
    bool open_ = false;
    int sampleRate_ = 0;
    std::int64_t chunkFrames_ = 0;
    std::vector<std::int16_t> samples_;
};

}  // namespace sonorel::test
