#include "example_transfer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace sonorel::example {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// splitmix64: a small generator whose sequence is fixed by its seed on every
// platform (the standard distributions are not).
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform() { return double(Next() >> 11) * 0x1.0p-53; }  // [0, 1)
    double Symmetric() { return 2.0 * Uniform() - 1.0; }           // [-1, 1)

  private:
    std::uint64_t state_;
};

// A plucked tone: a few harmonics under a fast attack and an exponential decay.
void AddNote(std::vector<double>& music, int sampleRate, std::size_t start, double lengthSeconds,
             double frequencyHz, double amplitude) {
    const std::size_t length = static_cast<std::size_t>(lengthSeconds * sampleRate);
    const double attackSamples = 0.008 * sampleRate;
    const double decayPerSample = std::exp(-3.0 / (lengthSeconds * sampleRate));
    std::array<double, 7> harmonicGain{};
    for (int h = 1; h <= 6; ++h)
        harmonicGain[h] = 1.0 / std::pow(double(h), 1.4);
    double envelope = amplitude;
    for (std::size_t i = 0; i < length && start + i < music.size(); ++i) {
        const double t = double(i) / sampleRate;
        double tone = 0.0;
        for (int h = 1; h <= 6; ++h) {
            if (frequencyHz * h > 0.45 * sampleRate) break;
            tone += harmonicGain[h] * std::sin(kTwoPi * frequencyHz * h * t);
        }
        const double attack = std::min(1.0, double(i) / attackSamples);
        music[start + i] += attack * envelope * tone;
        envelope *= decayPerSample;
    }
}

std::vector<double> Music(const TransferOptions& o, std::size_t frames, Random& random) {
    std::vector<double> music(frames, 0.0);
    // A pentatonic scale around A4; the melody walks it in small steps.
    constexpr std::array<double, 10> kScale{220.0, 247.5, 277.2, 330.0, 370.0,
                                            440.0, 495.0, 554.4, 660.0, 740.0};
    const double beatSeconds = 0.3;
    const std::size_t beatFrames = static_cast<std::size_t>(beatSeconds * o.sampleRate);
    int degree = 5;
    for (std::size_t beat = 0; beat * beatFrames < frames; ++beat) {
        const int step = static_cast<int>(random.Next() % 5) - 2;
        degree = std::clamp(degree + step, 0, int(kScale.size()) - 1);
        const double lengthBeats = (random.Next() % 3 == 0) ? 2.0 : 1.0;
        AddNote(music, o.sampleRate, beat * beatFrames, lengthBeats * beatSeconds * 1.5,
                kScale[degree], 0.16);
        if (beat % 2 == 0) {  // the bass, two octaves down, every other beat
            AddNote(music, o.sampleRate, beat * beatFrames, 2.0 * beatSeconds,
                    kScale[(beat / 2) % 4 == 3 ? 3 : 0] / 4.0, 0.22);
        }
    }
    return music;
}

// A click: a short decaying oscillation of random sign.
void AddClick(std::vector<double>& channel, std::size_t at, double amplitude, int lengthSamples,
              Random& random) {
    const double sign = random.Uniform() < 0.5 ? -1.0 : 1.0;
    const double ringHz = 0.05 + 0.2 * random.Uniform();  // cycles per sample
    for (int i = 0; i < lengthSamples && at + i < channel.size(); ++i) {
        const double decay = std::exp(-4.0 * i / lengthSamples);
        channel[at + i] += sign * amplitude * decay * std::cos(kTwoPi * ringHz * i);
    }
}

// Surface noise, crackle and clicks: what one groove wall adds on its own.
void AddSurface(std::vector<double>& channel, int sampleRate, Random& random) {
    double previous = 0.0;
    for (double& x : channel) {
        const double white = random.Symmetric();
        x += 0.02 * (white - 0.6 * previous);  // tilted towards the treble, like hiss
        previous = white;
    }
    const double crackleRate = 25.0 / sampleRate;  // small ticks per sample
    const double clickRate = 1.5 / sampleRate;     // big clicks per sample
    for (std::size_t i = 0; i < channel.size(); ++i) {
        if (random.Uniform() < crackleRate) {
            AddClick(channel, i, 0.02 + 0.08 * random.Uniform(), 2 + int(random.Next() % 4),
                     random);
        }
        if (random.Uniform() < clickRate) {
            AddClick(channel, i, 0.3 + 0.5 * random.Uniform(), 6 + int(random.Next() % 30), random);
        }
    }
}

}  // namespace

std::vector<float> SynthesiseTransfer(const TransferOptions& o) {
    const std::size_t frames = static_cast<std::size_t>(o.seconds * o.sampleRate);
    Random random(o.seed);
    const std::vector<double> music = Music(o, frames, random);

    // The two walls: one-pole low-passes of slightly different corners and gains.
    std::vector<double> left(frames), right(frames);
    const double leftPole = std::exp(-kTwoPi * 7000.0 / o.sampleRate);
    const double rightPole = std::exp(-kTwoPi * 5200.0 / o.sampleRate);
    double l = 0.0, r = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        l = leftPole * l + (1.0 - leftPole) * music[i];
        r = rightPole * r + (1.0 - rightPole) * music[i];
        left[i] = l;
        right[i] = 0.93 * r;
    }

    AddSurface(left, o.sampleRate, random);
    AddSurface(right, o.sampleRate, random);

    // Rumble: a slow wobble near 6 Hz plus low-passed noise, mostly common.
    const double rumblePole = std::exp(-kTwoPi * 12.0 / o.sampleRate);
    double rumbleNoise = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        rumbleNoise = rumblePole * rumbleNoise + (1.0 - rumblePole) * random.Symmetric();
        const double rumble =
            0.015 * std::sin(kTwoPi * 6.3 * double(i) / o.sampleRate) + 0.4 * rumbleNoise;
        left[i] += rumble;
        right[i] += 0.8 * rumble;
    }

    // Short fades, so that the file starts and ends without a jump.
    const std::size_t fade = std::min<std::size_t>(frames / 2, o.sampleRate / 20);
    std::vector<float> interleaved(2 * frames);
    for (std::size_t i = 0; i < frames; ++i) {
        double gain = 1.0;
        if (i < fade) gain = double(i) / fade;
        if (frames - 1 - i < fade) gain = double(frames - 1 - i) / fade;
        interleaved[2 * i] = static_cast<float>(std::clamp(gain * left[i], -1.0, 0.99997));
        interleaved[2 * i + 1] = static_cast<float>(std::clamp(gain * right[i], -1.0, 0.99997));
    }
    return interleaved;
}

namespace {

void PutLittleEndian(std::vector<unsigned char>& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

bool WriteWav16(const std::filesystem::path& path, int channels, int sampleRate,
                std::span<const float> interleaved, std::string& error) {
    const std::uint64_t dataBytes = 2ull * interleaved.size();
    if (channels < 1 || sampleRate < 1 || dataBytes > 0xFFFFFFFFull - 36) {
        error = "cannot describe this signal in a WAV header";
        return false;
    }

    std::vector<unsigned char> bytes;
    bytes.reserve(44 + dataBytes);
    const auto text = [&bytes](const char* four) { bytes.insert(bytes.end(), four, four + 4); };
    text("RIFF");
    PutLittleEndian(bytes, static_cast<std::uint32_t>(36 + dataBytes), 4);
    text("WAVE");
    text("fmt ");
    PutLittleEndian(bytes, 16, 4);
    PutLittleEndian(bytes, 1, 2);  // PCM
    PutLittleEndian(bytes, static_cast<std::uint32_t>(channels), 2);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(sampleRate), 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(sampleRate * channels * 2), 4);
    PutLittleEndian(bytes, static_cast<std::uint32_t>(channels * 2), 2);
    PutLittleEndian(bytes, 16, 2);
    text("data");
    PutLittleEndian(bytes, static_cast<std::uint32_t>(dataBytes), 4);
    for (const float x : interleaved) {
        const double scaled = std::round(std::clamp(double(x), -1.0, 1.0) * 32768.0);
        const auto sample = static_cast<std::int16_t>(std::clamp(scaled, -32768.0, 32767.0));
        PutLittleEndian(bytes, static_cast<std::uint16_t>(sample), 2);
    }

    // "x": fail rather than replace an existing file.
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (!file) {
        error = std::filesystem::exists(path) ? "\"" + path.string() + "\" exists already"
                                              : "\"" + path.string() + "\" cannot be created";
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(path.c_str());
        error = "\"" + path.string() + "\" could not be written completely";
        return false;
    }
    return true;
}

}  // namespace sonorel::example
