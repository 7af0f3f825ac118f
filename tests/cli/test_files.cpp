#include "test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "example_transfer.h"

namespace sonorel::clitest {

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

}  // namespace sonorel::clitest
