#pragma once
// What the command line asks for, and the parser that reads it.
//
// Options are applied in command-line order, so a later option overrides an
// earlier one: "--wizard HMV,1,1,1,1 --hiss 12" keeps the wizard's values
// except the hiss filter. Every value is checked against its range before
// anything runs; a refusal names the option and the range it takes.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/restoration_settings.h"
#include "soundfile/sound_file.h"

namespace sonorel {

inline constexpr const char* kCliName = "sonorel-cli";
inline constexpr int kMaxJobs = 256;
inline constexpr int kMaxShares = 100000;

enum class CliAction {
    Restore,         // write restored files into the output folder
    Preview,         // play the start of each file instead
    Help,            // print the help text
    Version,         // print the version line
    ListCategories,  // print the wizard's 24 categories
};

struct CliOptions {
    CliAction action = CliAction::Restore;
    RestorationSettings settings;
    std::optional<std::string> outputFolder;  // as given after -o; "." = beside each input
    std::vector<std::string> inputs;          // in command-line order
    std::optional<int> jobs;                  // no value: the number of cores
    std::optional<int> threadsPerFile;        // no value: ThreadsPerFile
    bool quiet = false;
    // --raw: inputs without a recognised header are read as headerless data
    // whatever their names.
    bool raw = false;
    // --skip-existing: inputs whose first-choice output is a finished
    // restoration are not run again.
    bool skipExisting = false;
    // -r: folders named as inputs are restored whole, into a mirrored tree.
    bool recursive = false;
    // --share K/N: only positions p of the input list with p mod N = K - 1.
    int shareIndex = 1;
    int shareCount = 1;
    // --dry-run: say what would be done, create nothing.
    bool dryRun = false;
    // For archives (restoring only): a report line per file appended to
    // this file ("-": standard output), a picture per file into this folder, outputs aligned with
    // their inputs, the inputs' catalogue data kept.
    std::optional<std::string> reportFile;
    std::optional<std::string> pictureFolder;
    bool align = false;
    bool keepMetadata = true;        // --no-metadata turns it off
    bool keepMetadataGiven = false;  // --keep-metadata on the command line
    // --format, --bits: the outputs' header type and data format.
    OutputHeader header = OutputHeader::Same;
    OutputBits bits = OutputBits::Same;
};

// Either the options or the reason they were refused.
struct ParsedCommandLine {
    CliOptions options;
    std::string error;  // empty when the command line is acceptable

    bool Ok() const { return error.empty(); }
};

// `args` excludes the program name.
ParsedCommandLine ParseCommandLine(std::span<const std::string> args);

// The number of files restored at once when --jobs is not given.
int DefaultJobCount();

// Threads for each file when --threads-per-file is not given: the cores
// shared among the files that run at once (the jobs, or fewer files), at
// least 1, so that jobs and threads never ask for more than the cores.
int ThreadsPerFile(int cores, int jobs, std::size_t files);

}  // namespace sonorel
