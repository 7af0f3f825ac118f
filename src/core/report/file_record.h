#pragma once
// One file's report entry, as both programs write it: the names made
// absolute, the input's and output's fingerprints as they are when the line
// is written, and the result in words.

#include <filesystem>
#include <string>

#include "pipeline/run_result.h"
#include "pipeline/run_summary.h"
#include "report/report_line.h"
#include "settings/restoration_settings.h"
#include "soundfile/sound_file.h"

namespace sonorel {

// How one file of a batch ended.
struct FileOutcome {
    bool started = false;
    bool skipped = false;  // already restored by an earlier run; `output` is that file
    RunResult result = RunResult::RunOk;
    std::filesystem::path output;  // the file the run created, if any
    std::string internalError;     // set when the run threw instead of returning
};

// What holds for every file of one batch.
struct RecordTerms {
    RestorationSettings settings;
    bool align = false;
    bool keepMetadata = false;
    OutputHeader header = OutputHeader::Same;
    OutputBits bits = OutputBits::Same;
    std::string host;  // HostName(), asked once per batch
};

// The entry of the file `input` (read as `raw`), which ended as `outcome`.
// `summary` is its run's summary; its output name is made absolute there,
// since the entry points at it. `picture` is the picture written, or empty.
ReportEntry RecordFile(const RecordTerms& terms, const std::filesystem::path& input, RawInput raw,
                       RunSummary& summary, const FileOutcome& outcome,
                       const std::filesystem::path& picture);

// Records name files absolutely: they outlive the folder they were made in.
std::filesystem::path RecordPath(const std::filesystem::path& path);

}  // namespace sonorel
