#pragma once
// Helpers for the sound-file tests: a private temporary folder and inputs
// generated in code.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "soundfile/sound_file.h"

namespace sonorel::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sonorel-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// `frames` frames of a sine per channel: channel c has amplitude 0.5 / (c + 1)
// and frequency 440 * (c + 1) Hz, so every channel is told apart.
inline std::vector<float> TestSignal(int channels, std::int64_t frames, int sampleRate) {
    std::vector<float> interleaved(static_cast<std::size_t>(frames * channels));
    for (std::int64_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double phase = 2.0 * std::numbers::pi * 440.0 * (c + 1) * i / sampleRate;
            interleaved[i * channels + c] = static_cast<float>(0.5 / (c + 1) * std::sin(phase));
        }
    }
    return interleaved;
}

// Writes interleaved samples as a file of `format` with format.channels
// channels; fails the test if that is not possible.
inline void WriteSoundFile(const std::filesystem::path& path, const SoundFormat& format,
                           const std::vector<float>& interleaved,
                           const std::string& comment = std::string()) {
    CreateStatus status{};
    auto writer = SoundWriter::CreateWithChannels(path, format, format.channels, comment, status);
    ASSERT_TRUE(writer) << path;
    ASSERT_TRUE(writer->Write(interleaved));
    ASSERT_TRUE(writer->Close());
}

inline std::vector<char> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace sonorel::test
