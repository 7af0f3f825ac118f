#include "support/run_helpers.h"

#include <utility>

#include "pipeline/output_naming.h"
#include "pipeline/playback.h"

namespace sonorel::test {

StartOutcome RunStart(RunRequest request, const std::filesystem::path& folder,
                      RunObserver& observer) {
    request.kind = RunKind::Restore;
    request.output = NameOutputFor(request.input, folder.string());
    StartOutcome outcome;
    outcome.result = ProcessFile(request, observer, &outcome.output);
    return outcome;
}

StartOutcome RunStart(const std::filesystem::path& input, const std::filesystem::path& folder,
                      RunObserver& observer, const RunParameters& params) {
    RunRequest request;
    request.input = input;
    request.params = params;
    return RunStart(std::move(request), folder, observer);
}

StartOutcome RunStart(const std::filesystem::path& input, const std::filesystem::path& folder,
                      const RunParameters& params) {
    RunObserver quiet;
    return RunStart(input, folder, quiet, params);
}

RunResult RunPreview(const std::filesystem::path& input, PlaybackOutput& output,
                     RunObserver& observer, const RunParameters& params) {
    RunRequest request;
    request.kind = RunKind::Preview;
    request.input = input;
    request.params = params;
    PreviewBuffer preview;
    request.preview = &preview;
    const RunResult result = ProcessFile(request, observer);
    return result == RunResult::RunOk ? PlayPreview(output, observer, preview) : result;
}

}  // namespace sonorel::test
