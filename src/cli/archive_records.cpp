#include "cli/archive_records.h"

#include "report/report_line.h"
#include "settings/settings_text.h"

namespace sonorel {

ArchiveRecords::ArchiveRecords(const CliOptions& options, std::size_t files)
    : options_(options),
      settingsText_(DescribeSettings(options.settings)),
      terms_{.settings = options.settings,
             .align = options.align,
             .keepMetadata = options.keepMetadata,
             .header = options.header,
             .bits = options.bits,
             .host = HostName()},
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

    const ReportEntry entry = RecordFile(terms_, item.request.input, item.request.raw,
                                         summaries_[index], outcome, picture);
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
