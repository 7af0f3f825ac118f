#pragma once
// Shorthands for the end-to-end tests of the per-file run.

#include <filesystem>
#include <string>

#include "pipeline/process_file.h"
#include "soundfile/sound_file.h"

namespace sonorel::test {

struct StartOutcome {
    RunResult result = RunOk;
    std::filesystem::path output;  // empty when none was created
};

// A Start run of `input` into `folder` under the naming rule.
inline StartOutcome RunStart(const std::filesystem::path& input,
                             const std::filesystem::path& folder, RunObserver& observer,
                             const RunParameters& params = {}) {
    RunRequest request;
    request.input = input;
    request.output = NameOutputFor(input, folder.string());
    request.params = params;
    StartOutcome outcome;
    outcome.result = ProcessFile(request, observer, &outcome.output);
    return outcome;
}

inline StartOutcome RunStart(const std::filesystem::path& input,
                             const std::filesystem::path& folder,
                             const RunParameters& params = {}) {
    RunObserver quiet;
    return RunStart(input, folder, quiet, params);
}

// A preview run of `input` played on `output`.
inline RunResult RunPreview(const std::filesystem::path& input, PlaybackOutput& output,
                            RunObserver& observer, const RunParameters& params = {}) {
    RunRequest request;
    request.input = input;
    request.params = params;
    request.previewOutput = &output;
    return ProcessFile(request, observer);
}

inline SoundFormat FloatWav(int sampleRate = 44100) {
    return SoundFormat::Make(HeaderType::Wav, SampleEncoding::Float32, sampleRate, 2);
}

inline SoundFormat Wav16(int sampleRate = 44100) {
    return SoundFormat::Make(HeaderType::Wav, SampleEncoding::Pcm16, sampleRate, 2);
}

// Files in a folder, by name.
inline std::size_t CountFiles(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

}  // namespace sonorel::test
