// Writes a small sound file of every kind the sound-file layer names into
// the folder given as the only argument: the seed corpus of sound_file_fuzz.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "soundfile/sound_file.h"

using namespace sonorel;

namespace {

struct Seed {
    const char* name;
    HeaderType header;
    SampleEncoding encoding;
    int channels;
};

constexpr Seed kSeeds[] = {
    {"wav16.wav", HeaderType::Wav, SampleEncoding::Pcm16, 2},
    {"wav24.wav", HeaderType::Wav, SampleEncoding::Pcm24, 2},
    {"wavfloat.wav", HeaderType::Wav, SampleEncoding::Float32, 2},
    {"wavex.wav", HeaderType::WavEx, SampleEncoding::Pcm16, 4},
    {"aiff16.aiff", HeaderType::Aiff, SampleEncoding::Pcm16, 2},
    {"au16.au", HeaderType::Au, SampleEncoding::Pcm16, 2},
    {"ulaw.au", HeaderType::Au, SampleEncoding::Ulaw, 1},
    {"flac16.flac", HeaderType::Flac, SampleEncoding::Pcm16, 2},
    {"w64.w64", HeaderType::W64, SampleEncoding::Pcm32, 2},
    {"caf.caf", HeaderType::Caf, SampleEncoding::Float64, 2},
    {"rf64.wav", HeaderType::Rf64, SampleEncoding::Pcm16, 2},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    constexpr int kFrames = 300;
    int failures = 0;
    for (const Seed& seed : kSeeds) {
        std::vector<float> samples(static_cast<std::size_t>(kFrames * seed.channels));
        for (std::size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<float>(0.5 * std::sin(0.05 * static_cast<double>(i)));
        }
        CreateStatus status{};
        auto writer = SoundWriter::CreateWithChannels(
            folder / seed.name, SoundFormat::Make(seed.header, seed.encoding, 44100, seed.channels),
            seed.channels, "seed", status);
        if (!writer || !writer->Write(samples) || !writer->Close()) {
            std::fprintf(stderr, "could not write %s\n", seed.name);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
