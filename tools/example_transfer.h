#pragma once
// A deterministic stand-in for a stereo transfer of an old mono record, for
// the bundled example, the tests and the benchmarks.
//
// One music-like mono signal (a plucked melody over a bass line) reaches both
// channels through slightly different filtering, as the two groove walls
// would give it; each channel then gets its own surface noise, crackle and
// clicks, and both a little turntable rumble. Same arguments, same samples.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace sonorel::example {

inline constexpr int kExampleSampleRate = 44100;

struct TransferOptions {
    double seconds = 8.0;
    std::uint64_t seed = 1;
    int sampleRate = kExampleSampleRate;
};

// Interleaved left/right samples in [-1, 1).
std::vector<float> SynthesiseTransfer(const TransferOptions& options);

// Writes a 16-bit PCM WAV file with `channels` interleaved channels. The file
// is created exclusively: an existing file is never replaced. On a failure
// the partly written file is removed and `error` says why.
bool WriteWav16(const std::filesystem::path& path, int channels, int sampleRate,
                std::span<const float> interleaved, std::string& error);

}  // namespace sonorel::example
