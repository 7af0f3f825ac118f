#pragma once
// What sonorel-cli leaves for archives beside the restored files: a report
// line per file (--report) and a picture per file (--picture), and what it
// asks of each run (--align, --keep-metadata).
//
// Made before any file runs, so that a report file that cannot be written
// refuses the command line before anything is touched; then it fills in each
// file's run request, and finishes each file in the order the results are
// listed, on the reporting thread.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/batch_run.h"
#include "cli/cli_options.h"
#include "picture/picture_tap.h"
#include "report/report_file.h"

namespace sonorel {

class ArchiveRecords {
  public:
    // `pictureFolder` is the checked folder of --picture. nullptr, with
    // `error` saying why, when the report file cannot be written.
    // A report file "-" is `standardOutput`, which then holds nothing else.
    static std::unique_ptr<ArchiveRecords> Open(
        const CliOptions& options, const std::optional<std::filesystem::path>& pictureFolder,
        std::size_t files, std::ostream& standardOutput, std::string& error);

    // Whether the report lines go to standard output.
    bool ReportsToStandardOutput() const { return standardOutput_ != nullptr; }

    // Gives the request of file `index` what the options ask of its run.
    void Prepare(std::size_t index, RunRequest& request);

    // Once file `index` is done: writes its report line. Returns what went
    // wrong with its records, for the user (empty when nothing did).
    std::vector<std::string> Finish(std::size_t index, const BatchItem& item,
                                    const FileOutcome& outcome);

  private:
    ArchiveRecords(const CliOptions& options, std::size_t files);

    const CliOptions& options_;
    std::string settingsText_;
    RecordTerms terms_;
    std::unique_ptr<ReportFile> report_;
    std::ostream* standardOutput_ = nullptr;
    std::optional<std::filesystem::path> pictureFolder_;
    std::vector<RunSummary> summaries_;
    std::vector<std::unique_ptr<PictureTap>> pictures_;
};

}  // namespace sonorel
