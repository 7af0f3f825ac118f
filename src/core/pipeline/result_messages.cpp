#include "pipeline/result_messages.h"

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

}  // namespace sonorel
