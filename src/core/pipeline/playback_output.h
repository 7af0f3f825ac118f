#pragma once
// The audio line that preview playback writes to: 16-bit mono at the file's
// sample rate. The front ends hand the per-file run PortAudio's default
// output (sonorel_playback); tests hand it a fake.
//
// Nothing here waits on the device for long: the playback thread asks how
// much the line can take and writes only that, so that a device that stops
// taking samples, or disappears, can never hold up a stop request.

#include <cstdint>
#include <span>

namespace sonorel {

class PlaybackOutput {
  public:
    virtual ~PlaybackOutput() = default;

    // Opens the line for mono 16-bit samples at `sampleRate`, written in chunks
    // of `chunkFrames`. False when there is no device or it refuses.
    virtual bool Open(int sampleRate, std::int64_t chunkFrames) = 0;

    // How many samples Write can take now without waiting: 0 while the device
    // has no room, -1 when the line has failed (the device is gone).
    virtual std::int64_t WritableFrames() = 0;

    // Writes samples the line has room for (at most WritableFrames()). False
    // on failure.
    virtual bool Write(std::span<const std::int16_t> samples) = 0;

    // Closes an open line. With `drain`, what was written is played to its
    // end first, but never waiting longer than that takes on a device that
    // still plays; without, it is dropped (playback was stopped).
    virtual void Close(bool drain) = 0;
};

}  // namespace sonorel
