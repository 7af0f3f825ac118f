#pragma once
// Runs a program as a child process, as a user's shell would, and reports
// how it ended: for the tests that run the built sonorel-cli itself.

#include <sys/resource.h>
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace sonorel::clitest {

struct ChildOptions {
    std::vector<std::string> environment;  // NAME=value, added to this process's
    rlim_t fileSizeLimit = RLIM_INFINITY;  // RLIMIT_FSIZE of the child
    bool stdoutClosed = false;             // standard output is a pipe nobody reads
    // Not a time the program must meet: only how long to wait before calling
    // it hung and killing it.
    std::chrono::seconds hangGuard{120};
};

struct ChildRun {
    bool hung = false;    // killed by the hang guard
    bool exited = false;  // ended by exit, not by a signal
    int status = -1;      // the exit status, when it exited
    int signal = 0;       // the signal that ended it, when it did not
    std::string out;      // what it wrote to standard output (unless closed)
    std::string err;      // what it wrote to standard error
};

// What runs beside the child: it gets the child's pid and a flag that turns
// true once the child has ended.
using WhileRunning = std::function<void(pid_t, const std::atomic<bool>& ended)>;

// Runs `program` with `args` in `workingFolder`, standard input empty,
// standard output and error captured, and the signals at their defaults.
ChildRun RunChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                  const std::filesystem::path& workingFolder, const ChildOptions& options = {},
                  const WhileRunning& whileRunning = nullptr);

// Waits until `condition` holds or the child has ended; true if it holds.
bool WaitFor(const std::function<bool()>& condition, const std::atomic<bool>& ended);

}  // namespace sonorel::clitest
