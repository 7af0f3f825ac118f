#pragma once
// sonorel-cli as a function: parse, check the output folder, run the files,
// report, and return the exit status. main() adds only the real streams, the
// terminal and the signal handlers, so tests drive the whole tool through here.

#include <atomic>
#include <ostream>
#include <span>
#include <string>

#include "cli/batch_run.h"

namespace sonorel {

inline constexpr int kExitAllDone = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitRefused = 2;

struct CliContext {
    std::ostream& out;  // restored files, help, version, categories
    std::ostream& err;  // progress lines, failures, refusals
    bool errIsTerminal = false;
    int terminalColumns = 80;
    FileRunner runner;                        // normally ProcessFile
    const std::atomic<bool>& cancel;          // set by Ctrl-C
    PlaybackOutput* previewOutput = nullptr;  // where --preview plays; not owned
};

// `args` excludes the program name.
int RunCli(std::span<const std::string> args, const CliContext& context);

}  // namespace sonorel
