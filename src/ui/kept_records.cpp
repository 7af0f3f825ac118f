#include "ui/kept_records.h"

#include "report/file_record.h"
#include "report/report_file.h"
#include "report/report_line.h"
#include "settings/settings_text.h"

namespace sonorel {

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

    const RecordTerms terms{.settings = settings_[index],
                            .align = choices_.align,
                            .keepMetadata = choices_.keepMetadata,
                            .header = OutputHeader::Same,
                            .bits = OutputBits::Same,
                            .host = host_};
    const FileOutcome outcome{.started = started,
                              .skipped = false,
                              .result = result,
                              .output = summaries_[index].output,
                              .internalError = {}};
    const ReportEntry entry =
        RecordFile(terms, request.input, request.raw, summaries_[index], outcome, written_[index]);

    const std::filesystem::path reportPath = request.output.folder / kReportFileName;
    std::string error;
    const std::unique_ptr<ReportFile> report = ReportFile::Open(reportPath, error);
    if (!report || !report->Append(ReportLine(entry), error)) {
        problems.push_back("report line not written to \"" + reportPath.string() + "\": " + error);
    }
    return problems;
}

}  // namespace sonorel
