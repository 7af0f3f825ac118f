#include "portaudio/portaudio_output.h"

#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace sonorel {
namespace {

// A drain waits for the sound still queued to play, plus this much; a device
// that has stopped playing is not waited for beyond it.
constexpr std::chrono::milliseconds kDrainMargin{250};
constexpr std::chrono::milliseconds kDrainPoll{10};

// Pa_Initialize and Pa_Terminate are not thread-safe; PortAudio counts them,
// so each line initialises once and terminates once, under this lock.
std::mutex& PortAudioLifecycleMutex() {
    static std::mutex mutex;
    return mutex;
}

class PortAudioOutput final : public PlaybackOutput {
  public:
    ~PortAudioOutput() override { Close(false); }

    bool Open(int sampleRate, std::int64_t chunkFrames) override {
        Close(false);
        const std::lock_guard lock(PortAudioLifecycleMutex());
        if (Pa_Initialize() != paNoError) return false;
        initialized_ = true;
        if (Pa_GetDefaultOutputDevice() == paNoDevice ||
            Pa_OpenDefaultStream(&stream_, 0, 1, paInt16, sampleRate,
                                 static_cast<unsigned long>(chunkFrames), nullptr,
                                 nullptr) != paNoError) {
            stream_ = nullptr;
            TerminateLocked();
            return false;
        }
        if (Pa_StartStream(stream_) != paNoError) {
            Pa_CloseStream(stream_);
            stream_ = nullptr;
            TerminateLocked();
            return false;
        }
        sampleRate_ = sampleRate;
        capacity_ = std::max<std::int64_t>(Pa_GetStreamWriteAvailable(stream_), 0);
        return true;
    }

    std::int64_t WritableFrames() override {
        if (stream_ == nullptr) return -1;
        const long room = Pa_GetStreamWriteAvailable(stream_);
        if (room < 0) return -1;  // an error code: the device is gone
        capacity_ = std::max<std::int64_t>(capacity_, room);
        return room;
    }

    bool Write(std::span<const std::int16_t> samples) override {
        if (stream_ == nullptr) return false;
        // No more than there is room for, so the library does not wait.
        const PaError error =
            Pa_WriteStream(stream_, samples.data(), static_cast<unsigned long>(samples.size()));
        // An underflow is a gap in the sound, not a lost line: keep playing.
        return error == paNoError || error == paOutputUnderflowed;
    }

    void Close(bool drain) override {
        if (!initialized_) return;
        // Outside the lock: other lines may open meanwhile.
        const bool played = stream_ != nullptr && drain && WaitUntilPlayed();
        const std::lock_guard lock(PortAudioLifecycleMutex());
        if (stream_ != nullptr) {
            // Stop plays out what is queued, which is nothing once played;
            // abort drops it without waiting on the device.
            if (played) {
                Pa_StopStream(stream_);
            } else {
                Pa_AbortStream(stream_);
            }
            Pa_CloseStream(stream_);
            stream_ = nullptr;
        }
        TerminateLocked();
    }

  private:
    // Waits until the line has room again for all it has ever held, that is
    // until what was written has been played; false when the device fails or
    // has not played it in the time it takes, plus kDrainMargin.
    bool WaitUntilPlayed() {
        using Clock = std::chrono::steady_clock;
        const auto queuedSound = std::chrono::milliseconds(capacity_ * 1000 / sampleRate_);
        const Clock::time_point deadline = Clock::now() + queuedSound + kDrainMargin;
        for (;;) {
            const long room = Pa_GetStreamWriteAvailable(stream_);
            if (room < 0) return false;
            if (room >= capacity_) return true;
            if (Clock::now() >= deadline) return false;
            std::this_thread::sleep_for(kDrainPoll);
        }
    }

    void TerminateLocked() {
        if (initialized_) Pa_Terminate();
        initialized_ = false;
    }

    PaStream* stream_ = nullptr;
    bool initialized_ = false;
    int sampleRate_ = 44100;
    std::int64_t capacity_ = 0;  // the most room the line has had: all of it
};

}  // namespace

std::unique_ptr<PlaybackOutput> MakePortAudioOutput() {
    return std::make_unique<PortAudioOutput>();
}

}  // namespace sonorel
