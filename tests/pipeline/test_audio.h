#pragma once
// Inputs for end-to-end runs, made in code and written with the sound-file
// layer, and the outputs read back.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "soundfile/sound_file.h"

namespace sonorel::test {

// Interleaved samples, `channels` per frame.
using Interleaved = std::vector<float>;

// A transfer-like stereo signal: two tones whose level swells and falls (so
// the analysis sees a range of levels), a little independent noise in each
// channel and a few clicks. Deterministic for a given seed.
Interleaved TransferSignal(std::int64_t frames, int sampleRate, unsigned seed = 1);

// `frames` frames of `channels` channels, sample (frame, channel) from `value`.
Interleaved MakeSignal(std::int64_t frames, int channels,
                       const std::function<float(std::int64_t, int)>& value);

// Writes a new input file; fails the current test when that is impossible.
void WriteInput(const std::filesystem::path& path, const SoundFormat& format, int channels,
                const Interleaved& samples);

struct MonoFile {
    SoundFormat format;
    std::string comment;
    std::vector<float> samples;
};

// Reads a mono output with a recognised header.
MonoFile ReadMono(const std::filesystem::path& path);

// Flips the bits of the second half of a file: a compressed file still opens
// but fails to decode there.
void DamageSecondHalf(const std::filesystem::path& path);

// The whole content of a file as bytes.
std::vector<unsigned char> ReadBytes(const std::filesystem::path& path);

}  // namespace sonorel::test
