#pragma once
// Sound files for the tests, written and read through the program's own
// sound-file layer.

#include <filesystem>
#include <string>
#include <vector>

#include "soundfile/sound_file.h"
#include "support/test_signals.h"

namespace sonorel::test {

SoundFormat Wav16(int sampleRate = 44100, int channels = 2);
SoundFormat FloatWav(int sampleRate = 44100, int channels = 2);

// Writes a new file of `format` holding `interleaved` (format.channels
// samples a frame); fails the current test when that is impossible.
void WriteSoundFile(const std::filesystem::path& path, const SoundFormat& format,
                    const Interleaved& interleaved, const std::string& comment = std::string());

struct MonoFile {
    bool opened = false;  // false when the file could not be opened or read whole
    SoundFormat format;
    std::string comment;
    std::vector<float> samples;
};

// Reads a mono file (an output) back; fails the current test when it cannot
// be opened, is not mono or cannot be read to its end.
MonoFile ReadMono(const std::filesystem::path& path);

}  // namespace sonorel::test
