#include "report/file_record.h"

#include <chrono>
#include <optional>
#include <system_error>

#include "pipeline/result_messages.h"
#include "report/sha256.h"

namespace sonorel {

std::filesystem::path RecordPath(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec).lexically_normal();
    return ec || path.empty() ? path : absolute;
}

ReportEntry RecordFile(const RecordTerms& terms, const std::filesystem::path& input, RawInput raw,
                       RunSummary& summary, const FileOutcome& outcome,
                       const std::filesystem::path& picture) {
    const bool ran = outcome.started && !outcome.skipped && outcome.internalError.empty();
    ReportEntry entry{
        .input = RecordPath(input),
        .summary = ran ? &summary : nullptr,
        .skippedOutput = outcome.skipped ? RecordPath(outcome.output) : std::filesystem::path(),
        .result = {},
        .message = {},
        .settings = terms.settings,
        .align = terms.align,
        .keepMetadata = terms.keepMetadata,
        .picture = picture,
        .inputSha256 = {},
        .outputSha256 = {},
        .lossyAgain = false,
        .host = terms.host,
        .finished = std::chrono::system_clock::now()};
    summary.output = RecordPath(summary.output);
    entry.inputSha256 = FileSha256(entry.input).value_or("");
    if (const std::optional<SoundFormat>& format = summary.input; ran && format) {
        entry.lossyAgain =
            format->IsLossy() && format->Converted(terms.header, terms.bits).IsLossy();
    }
    const std::filesystem::path output =
        outcome.skipped ? entry.skippedOutput : (ran ? summary.output : "");
    if (!output.empty()) entry.outputSha256 = FileSha256(output).value_or("");
    if (!outcome.started) {
        entry.result = "not-started";
        entry.message = "not started (cancelled)";
    } else if (outcome.skipped) {
        entry.result = "skipped";
        entry.message = "already restored";
    } else if (!outcome.internalError.empty()) {
        entry.result = "internal-error";
        entry.message = outcome.internalError;
    } else {
        entry.result = ResultName(outcome.result);
        entry.message =
            ExplainedResultMessage(outcome.result, RunKind::Restore, input, raw, summary.output);
    }
    return entry;
}

}  // namespace sonorel
