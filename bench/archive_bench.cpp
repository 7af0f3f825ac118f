// What the archive options cost, and that they leave the samples alone.
//
// One generated 3-minute 44100 Hz 16-bit stereo transfer is restored by
// sonorel-cli (RunCli, one job) with each set of options in turn, round
// after round, the order rotating from round to round so that a change in
// the machine's load falls on every variant alike. Per round each variant's
// processor time is divided by that of the plain run of the same round; the
// programme prints the median of these ratios (and of the wall-clock ones),
// then checks the outputs: --report and --picture give the plain output's
// bytes, --keep-metadata its samples, --align its samples 3162 earlier.
//
// Usage: archive_bench [ROUNDS] [SECONDS]   (defaults 7 and 180)

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "engine/block_frame.h"
#include "example_transfer.h"
#include "pipeline/process_file.h"
#include "soundfile/sound_file.h"

namespace {

namespace fs = std::filesystem;

struct Variant {
    const char* name;
    std::vector<std::string> options;  // PICTURES and REPORT stand for the run's own
};

const std::vector<Variant> kVariants{
    {"plain", {}},
    {"--report", {"--report", "REPORT"}},
    {"--picture", {"--picture", "PICTURES"}},
    {"--report --picture --keep-metadata",
     {"--report", "REPORT", "--picture", "PICTURES", "--keep-metadata"}},
    {"--align", {"--align"}},
};

double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

struct Timing {
    double cpu;
    double wall;
};

// One restoration of `input` into a fresh folder under `work`, named after
// the variant and round.
Timing RunOnce(const Variant& variant, const fs::path& input, const fs::path& out) {
    fs::create_directories(out / "pictures");
    std::vector<std::string> args{"-q", "-j", "1", "-o", out.string()};
    for (const std::string& option : variant.options) {
        args.push_back(option == "REPORT"     ? (out / "report.jsonl").string()
                       : option == "PICTURES" ? (out / "pictures").string()
                                              : option);
    }
    args.push_back(input.string());
    std::ostringstream sink;
    std::atomic<bool> cancel{false};
    const sonorel::CliContext context{
        .out = sink, .err = sink, .runner = sonorel::ProcessFile, .cancel = cancel};
    const double cpuBefore = ProcessSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    if (sonorel::RunCli(args, context) != sonorel::kExitAllDone) {
        throw std::runtime_error(std::string(variant.name) + " failed: " + sink.str());
    }
    return {ProcessSeconds() - cpuBefore,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count()};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<float> Samples(const fs::path& path) {
    auto reader = sonorel::SoundReader::Open(path);
    if (!reader) throw std::runtime_error("cannot read " + path.string());
    std::vector<float> samples(static_cast<std::size_t>(reader->Format().frames));
    std::vector<float> unused(samples.size());
    reader->Read(samples, unused, reader->Format().frames);
    return samples;
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Run(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const double seconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 180.0;
    std::string pattern = (fs::temp_directory_path() / "sonorel-archive-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return 1;
    const fs::path work = pattern;
    const fs::path input = work / "side.wav";
    sonorel::example::TransferOptions transfer;
    transfer.seconds = seconds;
    transfer.seed = 100;
    std::string error;
    if (!sonorel::example::WriteWav16(input, 2, transfer.sampleRate,
                                      sonorel::example::SynthesiseTransfer(transfer), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    const std::size_t count = kVariants.size();
    std::vector<std::vector<double>> cpuRatios(count), wallRatios(count), cpu(count);
    for (int round = 0; round < rounds; ++round) {
        std::vector<Timing> timings(count);
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t v = (k + round) % count;  // rotate the order
            const fs::path out = work / ("out-" + std::to_string(v));
            fs::remove_all(out);
            timings[v] = RunOnce(kVariants[v], input, out);
        }
        for (std::size_t v = 0; v < count; ++v) {
            cpu[v].push_back(timings[v].cpu);
            cpuRatios[v].push_back(timings[v].cpu / timings[0].cpu);
            wallRatios[v].push_back(timings[v].wall / timings[0].wall);
        }
    }

    std::printf("%.0f s of 44100 Hz stereo, %d rounds, one job\n", seconds, rounds);
    std::printf("%-38s %12s %14s %15s\n", "options", "CPU s (med)", "CPU / plain", "wall / plain");
    for (std::size_t v = 0; v < count; ++v) {
        std::printf("%-38s %12.3f %13.3fx %14.3fx\n", kVariants[v].name, Median(cpu[v]),
                    Median(cpuRatios[v]), Median(wallRatios[v]));
    }

    // The outputs of the last round.
    const auto output = [&](std::size_t v) {
        return work / ("out-" + std::to_string(v)) / "side.wav";
    };
    const std::string plainBytes = Bytes(output(0));
    const std::vector<float> plain = Samples(output(0));
    std::printf("--report: output bytes %s the plain run's\n",
                Bytes(output(1)) == plainBytes ? "identical to" : "DIFFERENT FROM");
    std::printf("--picture: output bytes %s the plain run's\n",
                Bytes(output(2)) == plainBytes ? "identical to" : "DIFFERENT FROM");
    std::printf("--keep-metadata (with both): samples %s the plain run's\n",
                Samples(output(3)) == plain ? "identical to" : "DIFFERENT FROM");
    const std::vector<float> aligned = Samples(output(4));
    bool shifted = aligned.size() == static_cast<std::size_t>(seconds * transfer.sampleRate);
    for (std::size_t k = 0; shifted && k + sonorel::kKernelDelay < plain.size(); ++k)
        shifted = aligned[k] == plain[k + sonorel::kKernelDelay];
    std::printf("--align: %zu samples, %s the plain run's from sample 3162 on\n", aligned.size(),
                shifted ? "identical to" : "DIFFERENT FROM");
    fs::remove_all(work);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "archive_bench: %s\n", e.what());
        return 1;
    }
}
