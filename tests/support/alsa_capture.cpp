#include "support/alsa_capture.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/files.h"

namespace sonorel::test {

std::string AlsaCaptureConfig(const std::filesystem::path& capture) {
    return "pcm.!default {\n"
           "    type file\n"
           "    slave.pcm \"null\"\n"
           "    file \"" +
           capture.string() +
           "\"\n"
           "    format \"raw\"\n"
           "}\n"
           "pcm.null { type null }\n";
}

void UseAlsaConfig(const std::filesystem::path& file, const std::string& config) {
    std::ofstream(file) << config;
    setenv("ALSA_CONFIG_PATH", file.c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("JACK_DEFAULT_SERVER", "sonorel-test-no-such-server", 1);
}

std::vector<std::int16_t> ReadCapture(const std::filesystem::path& capture) {
    const auto bytes = ReadBytes(capture);
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[2 * i]) |
                                               static_cast<std::uint16_t>(bytes[2 * i + 1]) << 8);
    }
    return samples;
}

void ExitChild(bool passed) {
    std::fflush(nullptr);
    std::_Exit(passed ? 0 : 1);
}

}  // namespace sonorel::test
