// Writes the seed corpus of file_run_fuzz into the folder given as the only
// argument: a small file of every kind the sound-file layer names (the
// fuzzer starts inside each header parser), stereo files long enough to be
// restored (it starts inside the kernel), and a few sample patterns; each
// behind the target's 12-byte prefix with the default settings.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "settings/restoration_settings.h"
#include "soundfile/sound_file.h"

using namespace sonorel;

namespace {

struct Seed {
    const char* name;
    HeaderType header;
    SampleEncoding encoding;
    int channels;
    int frames;
};

constexpr Seed kSeeds[] = {
    {"wav16.wav", HeaderType::Wav, SampleEncoding::Pcm16, 2, 300},
    {"wav24.wav", HeaderType::Wav, SampleEncoding::Pcm24, 2, 300},
    {"wavfloat.wav", HeaderType::Wav, SampleEncoding::Float32, 2, 300},
    {"wavex.wav", HeaderType::WavEx, SampleEncoding::Pcm16, 4, 300},
    {"aiff16.aiff", HeaderType::Aiff, SampleEncoding::Pcm16, 2, 300},
    {"au16.au", HeaderType::Au, SampleEncoding::Pcm16, 2, 300},
    {"ulaw.au", HeaderType::Au, SampleEncoding::Ulaw, 1, 300},
    {"flac16.flac", HeaderType::Flac, SampleEncoding::Pcm16, 2, 300},
    {"w64.w64", HeaderType::W64, SampleEncoding::Pcm32, 2, 300},
    {"caf.caf", HeaderType::Caf, SampleEncoding::Float64, 2, 300},
    {"rf64.wav", HeaderType::Rf64, SampleEncoding::Pcm16, 2, 300},
    // Long enough to be analysed and restored: one analysis block and more.
    {"long-wav16.wav", HeaderType::Wav, SampleEncoding::Pcm16, 2, 8000},
    {"long-u8.wav", HeaderType::Wav, SampleEncoding::PcmU8, 2, 8000},
    {"long-flac.flac", HeaderType::Flac, SampleEncoding::Pcm16, 2, 8000},
};

// The prefix of file_run_fuzz: `mode` (bit 0: samples), then the eight
// sliders at their defaults, then the length and rate bytes of samples.
std::string Prefix(char mode) {
    std::string prefix(1, mode);
    for (int i = 0; i < 8; ++i) {
        const SliderRange& range = RangeOf(static_cast<Slider>(i));
        prefix.push_back(static_cast<char>(range.defaultValue - range.minimum));
    }
    prefix += std::string("\x00\x10\x04", 3);  // 4096 more frames, 44100 Hz
    return prefix;
}

bool WriteSeed(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

bool WriteSoundSeed(const std::filesystem::path& folder, const Seed& seed) {
    std::vector<float> samples(static_cast<std::size_t>(seed.frames * seed.channels));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double n = static_cast<double>(i / static_cast<std::size_t>(seed.channels));
        // A swelling tone with a little of each channel's own in it.
        samples[i] = static_cast<float>((0.3 + 0.2 * std::sin(n / 900.0)) * std::sin(0.05 * n) +
                                        0.01 * std::sin(0.7 * static_cast<double>(i)));
    }
    const auto scratch = folder / (std::string(seed.name) + ".scratch");
    std::filesystem::remove(scratch);
    CreateStatus status{};
    auto writer = SoundWriter::CreateWithChannels(
        scratch, SoundFormat::Make(seed.header, seed.encoding, 44100, seed.channels), seed.channels,
        "seed", status);
    if (!writer || !writer->Write(samples) || !writer->Close()) return false;
    std::ifstream in(scratch, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(scratch);
    return WriteSeed(folder / seed.name, Prefix(0) + file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    int failures = 0;
    for (const Seed& seed : kSeeds) {
        if (!WriteSoundSeed(folder, seed)) {
            std::fprintf(stderr, "could not write %s\n", seed.name);
            ++failures;
        }
    }
    // Samples: a quiet and a loud pair of floats, repeated by the target.
    const std::string quiet("\x00\x00\x80\x3c\x00\x00\x80\xbc", 8);  // +-1/64
    const std::string loud("\x00\x00\x40\x3f\x00\x00\x00\xbf", 8);   // 0.75, -0.5
    if (!WriteSeed(folder / "samples-quiet", Prefix(1) + quiet) ||
        !WriteSeed(folder / "samples-loud", Prefix(1) + loud + quiet)) {
        std::fprintf(stderr, "could not write the sample seeds\n");
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
