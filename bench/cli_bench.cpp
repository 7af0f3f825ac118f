// Whole-file restoration through sonorel-cli (RunCli, the whole tool minus
// process start-up) on generated 3-minute 44100 Hz 16-bit stereo WAV files.
//
// Figures: the real-time factor (seconds of audio restored per second of
// wall-clock time) for one file with one job on one and on two threads, and
// for four files with one and with two jobs; at the end, the speed-ups of
// two threads over one and of --jobs 2 over --jobs 1.
// The inputs are written once into a temporary folder (and stay in the page
// cache); each iteration restores into a fresh output folder, removed
// outside the timed region.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <time.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "example_transfer.h"
#include "pipeline/process_file.h"

namespace {

namespace fs = std::filesystem;

constexpr double kFileSeconds = 180.0;
constexpr int kFileCount = 4;

class Inputs {
  public:
    Inputs() {
        std::string pattern = (fs::temp_directory_path() / "sonorel-cli-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
        folder_ = pattern;
        for (int i = 0; i < kFileCount; ++i) {
            sonorel::example::TransferOptions options;
            options.seconds = kFileSeconds;
            options.seed = 100 + i;
            const fs::path path = folder_ / ("side" + std::to_string(i + 1) + ".wav");
            std::string error;
            if (!sonorel::example::WriteWav16(path, 2, options.sampleRate,
                                              sonorel::example::SynthesiseTransfer(options),
                                              error)) {
                throw std::runtime_error(error);
            }
            files_.push_back(path.string());
        }
    }
    ~Inputs() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    const fs::path& Folder() const { return folder_; }
    const std::vector<std::string>& Files() const { return files_; }

  private:
    fs::path folder_;
    std::vector<std::string> files_;
};

const Inputs& TheInputs() {
    static const Inputs inputs;
    return inputs;
}

// Processor time of the whole process (every thread) so far.
double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// Mean wall-clock seconds per iteration, by benchmark name, for the summary.
struct RunSeconds {
    double wall = 0.0;
    double cpu = 0.0;
};
std::map<std::string, RunSeconds>& SecondsPerRun() {
    static std::map<std::string, RunSeconds> seconds;
    return seconds;
}

// threadsPerFile 0: the tool's default (the cores over the running files).
void RestoreWithCli(benchmark::State& state, int fileCount, int jobs, int threadsPerFile,
                    const std::string& name) {
    const Inputs& inputs = TheInputs();
    const fs::path output = inputs.Folder() / "out";
    std::vector<std::string> args{"-q", "--jobs", std::to_string(jobs), "-o", output.string()};
    if (threadsPerFile > 0) {
        args.insert(args.end(), {"--threads-per-file", std::to_string(threadsPerFile)});
    }
    args.insert(args.end(), inputs.Files().begin(), inputs.Files().begin() + fileCount);

    std::ostringstream out, err;
    std::atomic<bool> cancel{false};
    const sonorel::CliContext context{
        .out = out,
        .err = err,
        .runner =
            [](const sonorel::RunRequest& request, sonorel::RunObserver& observer,
               fs::path* created) { return sonorel::ProcessFile(request, observer, created); },
        .cancel = cancel,
    };

    double totalSeconds = 0.0;
    double totalCpuSeconds = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(output);
        fs::create_directory(output);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessCpuSeconds();
        const int status = sonorel::RunCli(args, context);
        totalCpuSeconds += ProcessCpuSeconds() - cpuStart;
        totalSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status != sonorel::kExitAllDone) {
            state.SkipWithError(("sonorel-cli failed: " + err.str()).c_str());
            break;
        }
    }
    fs::remove_all(output);
    if (state.iterations() > 0 && totalSeconds > 0.0) {
        const double secondsPerRun = totalSeconds / double(state.iterations());
        state.counters["realtime_x"] = kFileSeconds * fileCount / secondsPerRun;
        // Audio seconds per second of processor time, all threads together: what
        // the run would reach on an idle core, whatever else the machine does.
        state.counters["cpu_realtime_x"] =
            kFileSeconds * fileCount * double(state.iterations()) / totalCpuSeconds;
        SecondsPerRun()[name] = {secondsPerRun, totalCpuSeconds / double(state.iterations())};
    }
}

void BM_OneFileOneJob(benchmark::State& state) {
    RestoreWithCli(state, 1, 1, 1, "one file, 1 job");
}
void BM_OneFileTwoThreads(benchmark::State& state) {
    RestoreWithCli(state, 1, 1, 2, "one file, 2 threads");
}
void BM_FourFilesOneJob(benchmark::State& state) {
    RestoreWithCli(state, kFileCount, 1, 1, "four files, 1 job");
}
void BM_FourFilesTwoJobs(benchmark::State& state) {
    RestoreWithCli(state, kFileCount, 2, 0, "four files, 2 jobs");
}

BENCHMARK(BM_OneFileOneJob)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_OneFileTwoThreads)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FourFilesOneJob)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_FourFilesTwoJobs)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const auto& seconds = SecondsPerRun();
    std::printf(
        "\nWhole-file restoration of %.0f-second 44100 Hz 16-bit stereo WAV files\n"
        "(wall clock; processor time of all threads in brackets):\n",
        kFileSeconds);
    for (const char* name :
         {"one file, 1 job", "one file, 2 threads", "four files, 1 job", "four files, 2 jobs"}) {
        const auto found = seconds.find(name);
        if (found == seconds.end()) continue;
        const RunSeconds& s = found->second;
        const double audioSeconds =
            kFileSeconds * (found->first.starts_with("one") ? 1 : kFileCount);
        std::printf("  %-20s %6.2f s  %6.1fx real time   (%6.2f s, %6.1fx)\n", name, s.wall,
                    audioSeconds / s.wall, s.cpu, audioSeconds / s.cpu);
    }
    const auto oneThread = seconds.find("one file, 1 job");
    const auto twoThreads = seconds.find("one file, 2 threads");
    if (oneThread != seconds.end() && twoThreads != seconds.end()) {
        std::printf("  2 threads over 1 on one file: %.2fx faster\n",
                    oneThread->second.wall / twoThreads->second.wall);
    }
    const auto one = seconds.find("four files, 1 job");
    const auto two = seconds.find("four files, 2 jobs");
    if (one != seconds.end() && two != seconds.end()) {
        std::printf("  --jobs 2 over --jobs 1 on four files: %.2fx faster\n",
                    one->second.wall / two->second.wall);
    }
    return 0;
}
