#include "pipeline/result_messages.h"

#include <sys/statvfs.h>

#include "analysis/channel_analysis.h"

namespace sonorel {

std::string_view ResultMessage(RunResult result, RunKind kind) {
    switch (result) {
        case RunResult::RunOk:
            return {};
        case RunResult::RunNotStereo:
            return "Input file should be (but is not) stereo";
        case RunResult::RunBadInput:
            return "Input file could not be opened or is too short";
        case RunResult::RunNoOutput:
            return kind == RunKind::Preview ? "Problem playing preview"
                                            : "Output file could not be opened";
        case RunResult::RunIncomplete:
            return kind == RunKind::Preview ? "Preview cancelled" : "Output file is incomplete";
    }
    return {};
}

std::string InputCause(const std::filesystem::path& input, RawInput raw) {
    OpenProblem problem = OpenProblem::None;
    const std::unique_ptr<SoundReader> reader = SoundReader::OpenExplained(input, raw, problem);
    if (!reader) return DescribeOpenProblem(problem);
    const SoundFormat& format = reader->Format();
    if (format.channels != 2) {
        return "it has " + std::to_string(format.channels) +
               (format.channels == 1 ? " channel" : " channels") + ", not 2";
    }
    if (format.frames < kAnalysisBlockFrames) {
        return "it has " + std::to_string(format.frames) + " frames, fewer than " +
               std::to_string(kAnalysisBlockFrames);
    }
    return {};
}

std::string OutputCause(const std::filesystem::path& folder) {
    struct statvfs space {};
    const std::string name = folder.empty() ? std::string(".") : folder.string();
    if (::statvfs(name.c_str(), &space) == 0 && space.f_bavail == 0) return "the disk is full";
    return {};
}

std::string ExplainedResultMessage(RunResult result, RunKind kind,
                                   const std::filesystem::path& input, RawInput raw,
                                   const std::filesystem::path& output) {
    std::string message(ResultMessage(result, kind));
    std::string cause;
    if (result == RunResult::RunNotStereo || result == RunResult::RunBadInput) {
        cause = InputCause(input, raw);
    } else if (kind == RunKind::Preview && result == RunResult::RunNoOutput) {
        cause = "no sound output could be opened, or it stopped taking sound";
    } else if (kind == RunKind::Restore &&
               (result == RunResult::RunNoOutput || result == RunResult::RunIncomplete)) {
        cause = OutputCause(output.parent_path());
    }
    if (!message.empty() && !cause.empty()) message += ": " + cause;
    return message;
}

}  // namespace sonorel
