#pragma once
// One line of a run report (JSON Lines): everything an archive needs to say,
// years later, what was done to one input file. The fields are described in
// the REPORT section of docs/sonorel-cli.1; keep the two together.

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "pipeline/run_result.h"
#include "pipeline/run_summary.h"
#include "settings/restoration_settings.h"

namespace sonorel {

struct ReportEntry {
    std::filesystem::path input;          // absolute
    const RunSummary* summary;            // nullptr for a file that never ran
    std::filesystem::path skippedOutput;  // the finished output of a skipped file
    std::string result;                   // ResultName(), "not-started" or "internal-error"
    std::string message;                  // empty for a restored file
    RestorationSettings settings;         // as given
    bool align = false;                   // --align
    bool keepMetadata = false;            // --keep-metadata
    std::filesystem::path picture;        // empty when none was written
    // SHA-256 of the input's and the output's bytes when the line is
    // written; empty when there is no such file or it cannot be read.
    std::string inputSha256;
    std::string outputSha256;
    // A lossy input (MP3, Vorbis, Opus) written in a lossy format again.
    bool lossyAgain = false;
    std::string host;  // the machine that ran the file
    std::chrono::system_clock::time_point finished;
};

// "ok", "not-stereo", "bad-input", "no-output", "incomplete".
std::string_view ResultName(RunResult result);

// The entry as one JSON object on one line, ending in '\n'. Text that is not
// valid UTF-8 (file names may be any bytes) has the offending bytes replaced
// by U+FFFD.
std::string ReportLine(const ReportEntry& entry);

// This machine's name, for ReportEntry::host; empty when it cannot be asked.
std::string HostName();

}  // namespace sonorel
