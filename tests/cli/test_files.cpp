#include "test_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>

#include "example_transfer.h"

namespace sonorel::clitest {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonorel-cli-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

namespace {

std::vector<float> Transfer(double seconds, unsigned seed) {
    example::TransferOptions options;
    options.seconds = seconds;
    options.seed = seed;
    return example::SynthesiseTransfer(options);
}

void Write(const std::filesystem::path& path, int channels, const std::vector<float>& samples) {
    std::string error;
    ASSERT_TRUE(example::WriteWav16(path, channels, example::kExampleSampleRate, samples, error))
        << error;
}

}  // namespace

void WriteStereoTransfer(const std::filesystem::path& path, double seconds, unsigned seed) {
    Write(path, 2, Transfer(seconds, seed));
}

void WriteMonoTransfer(const std::filesystem::path& path, double seconds) {
    const std::vector<float> stereo = Transfer(seconds, 3);
    std::vector<float> mono(stereo.size() / 2);
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = stereo[2 * i];
    Write(path, 1, mono);
}

std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace sonorel::clitest
