#include "ui/kept_records.h"

#include <chrono>
#include <optional>
#include <system_error>

#include "pipeline/result_messages.h"
#include "report/report_file.h"
#include "report/report_line.h"
#include "report/sha256.h"
#include "settings/settings_text.h"

namespace sonorel {
namespace {

// Records name files absolutely: they outlive the folder they were made in.
std::filesystem::path Absolute(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec).lexically_normal();
    return ec || path.empty() ? path : absolute;
}

}  // namespace

KeptRecords::KeptRecords(RecordChoices choices, std::size_t files)
    : choices_(choices),
      host_(choices.report ? HostName() : std::string()),
      summaries_(files),
      settings_(files),
      pictures_(files),
      written_(files) {}

void KeptRecords::Prepare(std::size_t index, const RestorationSettings& settings,
                          RunRequest& request) {
    settings_[index] = settings;
    const std::string settingsText = DescribeSettings(settings);
    request.archive = {.align = choices_.align,
                       .keepMetadata = choices_.keepMetadata,
                       .settingsText = settingsText};
    request.summary = &summaries_[index];
    if (choices_.picture) {
        pictures_[index] = std::make_unique<PictureTap>(
            PictureRequest{.folder = request.output.folder,
                           .inputName = request.input.filename().string(),
                           .settingsText = settingsText});
        request.tap = pictures_[index].get();
    }
}

std::vector<std::string> KeptRecords::Finish(std::size_t index, const RunRequest& request,
                                             bool started, RunResult result) {
    std::vector<std::string> problems;
    if (const std::unique_ptr<PictureTap>& tap = pictures_[index]) {
        written_[index] = tap->Written();
        if (!tap->Error().empty()) problems.push_back("picture not written: " + tap->Error());
        pictures_[index].reset();
    }
    if (!choices_.report) return problems;

    RunSummary& summary = summaries_[index];
    ReportEntry entry{.input = Absolute(request.input),
                      .summary = started ? &summary : nullptr,
                      .skippedOutput = {},
                      .result = {},
                      .message = {},
                      .settings = settings_[index],
                      .align = choices_.align,
                      .keepMetadata = choices_.keepMetadata,
                      .picture = written_[index],
                      .inputSha256 = {},
                      .outputSha256 = {},
                      .lossyAgain = false,
                      .host = host_,
                      .finished = std::chrono::system_clock::now()};
    summary.output = Absolute(summary.output);
    entry.inputSha256 = FileSha256(entry.input).value_or("");
    if (const std::optional<SoundFormat>& input = summary.input; started && input) {
        entry.lossyAgain =
            input->IsLossy() && input->Converted(OutputHeader::Same, OutputBits::Same).IsLossy();
    }
    if (started && !summary.output.empty()) {
        entry.outputSha256 = FileSha256(summary.output).value_or("");
    }
    if (!started) {
        entry.result = "not-started";
        entry.message = "not started (cancelled)";
    } else {
        entry.result = ResultName(result);
        entry.message = ExplainedResultMessage(result, RunKind::Restore, request.input, request.raw,
                                               summary.output);
    }

    const std::filesystem::path reportPath = request.output.folder / kReportFileName;
    std::string error;
    const std::unique_ptr<ReportFile> report = ReportFile::Open(reportPath, error);
    if (!report || !report->Append(ReportLine(entry), error)) {
        problems.push_back("report line not written to \"" + reportPath.string() + "\": " + error);
    }
    return problems;
}

}  // namespace sonorel
