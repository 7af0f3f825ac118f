#include "portaudio/portaudio_output.h"

#include <portaudio.h>

#include <mutex>

namespace sonorel {
namespace {

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
        return true;
    }

    bool Write(std::span<const std::int16_t> chunk) override {
        if (stream_ == nullptr) return false;
        const PaError error =
            Pa_WriteStream(stream_, chunk.data(), static_cast<unsigned long>(chunk.size()));
        // An underflow is a gap in the sound, not a lost line: keep playing.
        return error == paNoError || error == paOutputUnderflowed;
    }

    void Close(bool drain) override {
        if (!initialized_) return;
        const std::lock_guard lock(PortAudioLifecycleMutex());
        if (stream_ != nullptr) {
            // Stop plays out what is queued; abort drops it.
            if (drain) {
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
    void TerminateLocked() {
        if (initialized_) Pa_Terminate();
        initialized_ = false;
    }

    PaStream* stream_ = nullptr;
    bool initialized_ = false;
};

}  // namespace

std::unique_ptr<PlaybackOutput> MakePortAudioOutput() {
    return std::make_unique<PortAudioOutput>();
}

}  // namespace sonorel
