#pragma once
// Input signals made in code, interleaved `channels` samples per frame.

#include <cstdint>
#include <functional>
#include <vector>

namespace sonorel::test {

using Interleaved = std::vector<float>;

// `frames` frames of `channels` channels, sample (frame, channel) from `value`.
Interleaved MakeSignal(std::int64_t frames, int channels,
                       const std::function<float(std::int64_t, int)>& value);

// A sine per channel that tells the channels apart: channel c has amplitude
// 0.5 / (c + 1) and frequency 440 * (c + 1) Hz.
Interleaved DistinctTones(int channels, std::int64_t frames, int sampleRate);

// A transfer-like signal: a tone at `pitchHz` and one at 1250 Hz whose level
// swells and falls (so the analysis sees a range of levels), a little
// independent noise in each channel and a click every 4409 frames, placed
// differently in each channel. Deterministic for a given seed.
Interleaved TransferSignal(std::int64_t frames, int sampleRate, unsigned seed = 1, int channels = 2,
                           double pitchHz = 440.0);

}  // namespace sonorel::test
