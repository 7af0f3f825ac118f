#include "cli/archive_records.h"

#include <chrono>
#include <system_error>

#include "pipeline/result_messages.h"
#include "report/report_line.h"
#include "report/sha256.h"
#include "settings/settings_text.h"

namespace sonorel {
namespace {

// Records name files absolutely: they outlive the folder the command ran in.
std::filesystem::path Absolute(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec).lexically_normal();
    return ec || path.empty() ? path : absolute;
}

}  // namespace

ArchiveRecords::ArchiveRecords(const CliOptions& options, std::size_t files)
    : options_(options),
      settingsText_(DescribeSettings(options.settings)),
      host_(HostName()),
      summaries_(files),
      pictures_(files) {}

std::unique_ptr<ArchiveRecords> ArchiveRecords::Open(
    const CliOptions& options, const std::optional<std::filesystem::path>& pictureFolder,
    std::size_t files, std::ostream& standardOutput, std::string& error) {
    std::unique_ptr<ArchiveRecords> records(new ArchiveRecords(options, files));
    if (options.reportFile == "-") {
        records->standardOutput_ = &standardOutput;
    } else if (options.reportFile) {
        records->report_ = ReportFile::Open(*options.reportFile, error);
        if (!records->report_) return nullptr;
    }
    records->pictureFolder_ = pictureFolder;
    return records;
}

void ArchiveRecords::Prepare(std::size_t index, RunRequest& request) {
    request.archive = {.align = options_.align,
                       .keepMetadata = options_.keepMetadata,
                       .settingsText = settingsText_,
                       .header = options_.header,
                       .bits = options_.bits};
    request.summary = &summaries_[index];
    if (pictureFolder_) {
        pictures_[index] = std::make_unique<PictureTap>(
            PictureRequest{.folder = *pictureFolder_,
                           .inputName = request.input.filename().string(),
                           .settingsText = settingsText_});
        request.tap = pictures_[index].get();
    }
}

std::vector<std::string> ArchiveRecords::Finish(std::size_t index, const BatchItem& item,
                                                const FileOutcome& outcome) {
    std::vector<std::string> problems;
    std::filesystem::path picture;
    if (const std::unique_ptr<PictureTap>& tap = pictures_[index]) {
        picture = tap->Written();
        if (!tap->Error().empty()) problems.push_back("picture not written: " + tap->Error());
        pictures_[index].reset();
    }
    if (!report_ && standardOutput_ == nullptr) return problems;

    const bool ran = outcome.started && !outcome.skipped && outcome.internalError.empty();
    ReportEntry entry{
        .input = {},
        .summary = ran ? &summaries_[index] : nullptr,
        .skippedOutput = outcome.skipped ? Absolute(outcome.output) : std::filesystem::path(),
        .result = {},
        .message = {},
        .settings = options_.settings,
        .align = options_.align,
        .keepMetadata = options_.keepMetadata,
        .picture = picture,
        .inputSha256 = {},
        .outputSha256 = {},
        .lossyAgain = false,
        .host = host_,
        .finished = std::chrono::system_clock::now()};
    entry.input = Absolute(item.request.input);
    summaries_[index].output = Absolute(summaries_[index].output);
    entry.inputSha256 = FileSha256(entry.input).value_or("");
    if (const std::optional<SoundFormat>& input = summaries_[index].input; ran && input) {
        entry.lossyAgain =
            input->IsLossy() && input->Converted(options_.header, options_.bits).IsLossy();
    }
    const std::filesystem::path output =
        outcome.skipped ? entry.skippedOutput : (ran ? summaries_[index].output : "");
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
        entry.message = ExplainedResultMessage(outcome.result, RunKind::Restore, item.request.input,
                                               item.request.raw, summaries_[index].output);
    }
    std::string error;
    if (standardOutput_ != nullptr) {
        *standardOutput_ << ReportLine(entry) << std::flush;
        if (!*standardOutput_) problems.emplace_back("report line not written to standard output");
    } else if (!report_->Append(ReportLine(entry), error)) {
        problems.push_back("report line not written to \"" + *options_.reportFile + "\": " + error);
    }
    return problems;
}

}  // namespace sonorel
