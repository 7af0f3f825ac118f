#pragma once
// Shorthands for runs of the per-file run: a Start run into a folder under
// the naming rule, and a preview played on a given line.

#include <filesystem>

#include "pipeline/process_file.h"

namespace sonorel::test {

struct StartOutcome {
    RunResult result = RunResult::RunOk;
    std::filesystem::path output;  // empty when none was created
};

// A Start run of `request` (its input, settings and options) into `folder`
// under the naming rule.
StartOutcome RunStart(RunRequest request, const std::filesystem::path& folder,
                      RunObserver& observer);

// A Start run of `input` into `folder` under the naming rule.
StartOutcome RunStart(const std::filesystem::path& input, const std::filesystem::path& folder,
                      RunObserver& observer, const RunParameters& params = {});
StartOutcome RunStart(const std::filesystem::path& input, const std::filesystem::path& folder,
                      const RunParameters& params = {});

// A preview run of `input` played on `output`.
RunResult RunPreview(const std::filesystem::path& input, PlaybackOutput& output,
                     RunObserver& observer, const RunParameters& params = {});

}  // namespace sonorel::test
