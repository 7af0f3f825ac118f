// sonorel-make-example: writes the bundled example, a synthetic stereo
// transfer of an old record (44100 Hz, 16-bit WAV), for scripts/run-example.sh
// and for trying sonorel-cli without a record of one's own.

#include <charconv>
#include <iostream>
#include <string>
#include <string_view>

#include "example_transfer.h"

namespace {

constexpr const char* kUsage =
    "Usage: sonorel-make-example [--seconds S] [--seed N] OUTPUT.wav\n"
    "Writes a synthetic stereo transfer of an old mono record: a music-like\n"
    "signal in both channels, with surface noise, crackle and clicks of its own\n"
    "in each, and a little rumble. 44100 Hz, 16-bit WAV. The same seed always\n"
    "gives the same file. An existing OUTPUT is never replaced.\n"
    "  --seconds S   length in whole seconds, 1 to 3600 (default 8)\n"
    "  --seed N      any whole number from 0 (default 1)\n";

bool ParseNumber(std::string_view text, unsigned long long& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

int Refuse(const std::string& message) {
    std::cerr << "sonorel-make-example: " << message << "\n" << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    sonorel::example::TransferOptions options;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--seconds" || arg == "--seed") {
            if (i + 1 >= argc) return Refuse(std::string(arg) + " needs a value");
            unsigned long long value = 0;
            if (!ParseNumber(argv[++i], value)) {
                return Refuse(std::string(arg) + " \"" + argv[i] + "\" is not a whole number");
            }
            if (arg == "--seed") {
                options.seed = value;
            } else if (value < 1 || value > 3600) {
                return Refuse("--seconds " + std::string(argv[i]) + " is out of range: 1 to 3600");
            } else {
                options.seconds = static_cast<double>(value);
            }
        } else if (arg.starts_with("-") && arg.size() > 1) {
            return Refuse("unknown option \"" + std::string(arg) + "\"");
        } else if (!output.empty()) {
            return Refuse("give one output file only");
        } else {
            output = arg;
        }
    }
    if (output.empty()) return Refuse("no output file given");

    const std::vector<float> samples = sonorel::example::SynthesiseTransfer(options);
    std::string error;
    if (!sonorel::example::WriteWav16(output, 2, options.sampleRate, samples, error)) {
        std::cerr << "sonorel-make-example: " << error << "\n";
        return 1;
    }
    return 0;
}
