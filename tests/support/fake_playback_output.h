#pragma once
// A PlaybackOutput that keeps what it is given: the samples written, the
// calls, how many times it was open at once; optionally a delay per write, a
// failure at a chosen write, writes held back until the test releases them,
// or a device that stalls or disappears. Thread-safe: playback threads write while the test thread
// reads.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "pipeline/playback_output.h"

namespace sonorel::test {

class FakePlaybackOutput : public PlaybackOutput {
  public:
    bool openSucceeds = true;
    int failAtWrite = -1;  // index of the write that fails, -1 for none
    bool stalled = false;  // the device takes nothing: never any room
    bool gone = false;     // the device has disappeared
    std::chrono::milliseconds writeDelay{0};
    // Called on the writing thread during each write, with its index.
    std::function<void(int)> onWrite = [](int) {};

    bool Open(int sampleRate, std::int64_t chunkFrames) override;
    std::int64_t WritableFrames() override;
    bool Write(std::span<const std::int16_t> chunk) override;
    void Close(bool drain) override;

    // While held, a write waits inside the line until released.
    void HoldWrites();
    void ReleaseWrites();

    int Opens() const { return Locked(opens_); }
    int Writes() const { return Locked(writes_); }
    int Closes() const { return Locked(closes_); }
    bool Drained() const { return Locked(drained_); }
    bool IsOpen() const { return Locked(openNow_) > 0; }
    int MostOpenAtOnce() const { return Locked(mostOpenAtOnce_); }
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
    std::condition_variable released_;
    bool held_ = false;
    int opens_ = 0;
    int writes_ = 0;
    int closes_ = 0;
    bool drained_ = false;
    int openNow_ = 0;
    int mostOpenAtOnce_ = 0;
    int sampleRate_ = 0;
    std::int64_t chunkFrames_ = 0;
    std::vector<std::int16_t> samples_;
};

// A buffer whose every sample differs from its neighbours, so that a lost,
// repeated or reordered sample shows.
std::vector<std::int16_t> PatternBuffer(std::int64_t samples);

}  // namespace sonorel::test
