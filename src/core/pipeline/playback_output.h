#pragma once
// The audio line that preview playback writes to: 16-bit mono at the file's
// sample rate, fed in chunks with blocking writes. The front ends hand the
// per-file run PortAudio's default output (sonorel_playback); tests hand it
// a fake.

#include <cstdint>
#include <span>

namespace sonorel {

class PlaybackOutput {
  public:
    virtual ~PlaybackOutput() = default;

    // Opens the line for mono 16-bit samples at `sampleRate`, written in chunks
    // of `chunkFrames`. False when there is no device or it refuses.
    virtual bool Open(int sampleRate, std::int64_t chunkFrames) = 0;

    // Writes one chunk, blocking while the device has no room. False on failure.
    virtual bool Write(std::span<const std::int16_t> chunk) = 0;

    // Closes an open line. With `drain`, what was written is played to its end
    // first; without, it is dropped (playback was stopped).
    virtual void Close(bool drain) = 0;
};

}  // namespace sonorel
