#include "test_audio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
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

Interleaved TransferSignal(std::int64_t frames, int sampleRate, unsigned seed) {
    std::uint32_t state = 2463534242u ^ seed;
    auto noise = [&state] {  // xorshift32, uniform in [-1, 1)
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    };
    const double rate = sampleRate;
    return MakeSignal(frames, 2, [&](std::int64_t f, int c) {
        const double t = static_cast<double>(f) / rate;
        const double swell = 0.35 + 0.25 * std::sin(2.0 * std::numbers::pi * 0.7 * t);
        const double music = swell * (0.7 * std::sin(2.0 * std::numbers::pi * 440.0 * t) +
                                      0.3 * std::sin(2.0 * std::numbers::pi * 1250.0 * t + c));
        double value = music + 0.01 * noise();
        if ((f + 997 * c) % 4409 == 0) value += c == 0 ? 0.5 : -0.5;  // a click
        return static_cast<float>(value);
    });
}

void WriteInput(const std::filesystem::path& path, const SoundFormat& format, int channels,
                const Interleaved& samples) {
    CreateStatus status = CreateStatus::Failed;
    auto writer = SoundWriter::CreateWithChannels(path, format, channels, "", status);
    ASSERT_TRUE(writer) << "cannot create test input " << path;
    ASSERT_TRUE(writer->Write(samples));
    ASSERT_TRUE(writer->Close());
}

MonoFile ReadMono(const std::filesystem::path& path) {
    MonoFile file;
    auto reader = SoundReader::Open(path);
    if (!reader) {
        ADD_FAILURE() << "cannot open " << path;
        return file;
    }
    file.format = reader->Format();
    file.comment = reader->Comment();
    EXPECT_EQ(file.format.channels, 1) << path;
    file.samples.resize(static_cast<std::size_t>(file.format.frames));
    std::vector<float> unused(file.samples.size());
    EXPECT_EQ(reader->Read(file.samples, unused, file.format.frames), file.format.frames);
    return file;
}

std::vector<unsigned char> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace sonorel::test

namespace sonorel::test {

void DamageSecondHalf(const std::filesystem::path& path) {
    auto bytes = ReadBytes(path);
    for (std::size_t i = bytes.size() / 2; i < bytes.size(); ++i)
        bytes[i] ^= 0x5a;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace sonorel::test
