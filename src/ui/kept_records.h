#pragma once
// What Go! keeps beside the restored files when the user asks for it: a
// picture per file beside its output and a report line per file in one
// report file in the output folder, with aligned output and the input's
// catalogue data as further choices. The same records as sonorel-cli's
// --picture, --report, --align and --keep-metadata, made by the same
// picture tap and report line, so that both programs write the same bytes.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "picture/picture_tap.h"
#include "pipeline/process_file.h"
#include "pipeline/run_summary.h"
#include "settings/restoration_settings.h"

namespace sonorel {

// The report file's name in the output folder (in the folder of each input
// when the output folder is ".").
inline constexpr const char* kReportFileName = "sonorel-report.jsonl";

struct RecordChoices {
    bool picture = false;      // NAME.png beside each output
    bool report = false;       // a line per file in kReportFileName
    bool align = false;        // each output as long as its input, in step with it
    bool keepMetadata = true;  // the input's catalogue data goes with it
};

class KeptRecords {
  public:
    KeptRecords(RecordChoices choices, std::size_t files);

    // Gives the request of file `index`, which runs with `settings`, what the
    // choices ask of its run, and a summary to fill.
    void Prepare(std::size_t index, const RestorationSettings& settings, RunRequest& request);

    // Once file `index` has run (`started`), or was prepared and then left
    // out: takes its picture and writes its report line. Returns what went wrong with its records,
    // for the user (empty when nothing did).
    std::vector<std::string> Finish(std::size_t index, const RunRequest& request, bool started,
                                    RunResult result);

    const RunSummary& Summary(std::size_t index) const { return summaries_[index]; }
    // The picture written for file `index`, or empty.
    const std::filesystem::path& Picture(std::size_t index) const { return written_[index]; }

  private:
    RecordChoices choices_;
    std::string host_;
    std::vector<RunSummary> summaries_;
    std::vector<RestorationSettings> settings_;
    std::vector<std::unique_ptr<PictureTap>> pictures_;
    std::vector<std::filesystem::path> written_;
};

}  // namespace sonorel
