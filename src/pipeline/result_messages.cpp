#include "pipeline/result_messages.h"

namespace sonorel {

std::string_view ResultMessage(RunResult result, RunKind kind) {
    switch (result) {
        case RunOk:
            return {};
        case RunNotStereo:
            return "Input file should be (but is not) stereo";
        case RunBadInput:
            return "Input file could not be opened or is too short";
        case RunNoOutput:
            return kind == RunKind::Preview ? "Problem playing preview"
                                            : "Output file could not be opened";
        case RunIncomplete:
            return kind == RunKind::Preview ? "Preview cancelled" : "Output file is incomplete";
    }
    return {};
}

}  // namespace sonorel
