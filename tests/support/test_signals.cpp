#include "support/test_signals.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace sonorel::test {

Interleaved MakeSignal(std::int64_t frames, int channels,
                       const std::function<float(std::int64_t, int)>& value) {
    Interleaved samples(static_cast<std::size_t>(frames * channels));
    for (std::int64_t f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            samples[static_cast<std::size_t>(f * channels + c)] = value(f, c);
        }
    }
    return samples;
}

Interleaved DistinctTones(int channels, std::int64_t frames, int sampleRate) {
    return MakeSignal(frames, channels, [sampleRate](std::int64_t i, int c) {
        const double phase = 2.0 * std::numbers::pi * 440.0 * (c + 1) * i / sampleRate;
        return static_cast<float>(0.5 / (c + 1) * std::sin(phase));
    });
}

Interleaved TransferSignal(std::int64_t frames, int sampleRate, unsigned seed, int channels,
                           double pitchHz) {
    std::uint32_t state = 2463534242u ^ seed;
    auto noise = [&state] {  // xorshift32, uniform in [-1, 1)
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    };
    const double rate = sampleRate;
    // MakeSignal visits the samples in file order, so the noise sequence is
    // the same for a given seed whatever the length.
    return MakeSignal(frames, channels, [&](std::int64_t f, int c) {
        const double t = static_cast<double>(f) / rate;
        const double swell = 0.35 + 0.25 * std::sin(2.0 * std::numbers::pi * 0.7 * t);
        const double music = swell * (0.7 * std::sin(2.0 * std::numbers::pi * pitchHz * t) +
                                      0.3 * std::sin(2.0 * std::numbers::pi * 1250.0 * t + c));
        double value = music + 0.01 * noise();
        if ((f + 997 * c) % 4409 == 0) value += c == 0 ? 0.5 : -0.5;  // a click
        return static_cast<float>(value);
    });
}

}  // namespace sonorel::test
