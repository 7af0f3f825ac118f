#include "cli/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

namespace sonorel::clitest {
namespace {

using namespace std::chrono_literals;

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    off_t at = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, at);
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
        at += got;
    }
    return text;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ChildRun RunChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                  const std::filesystem::path& workingFolder, const ChildOptions& options,
                  const WhileRunning& whileRunning) {
    // Everything the child needs is made before fork: after it, only calls
    // that are safe in the child of a threaded process.
    std::vector<std::string> argStrings{program.string()};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<std::string> envStrings;
    for (char** e = environ; *e != nullptr; ++e)
        envStrings.emplace_back(*e);
    envStrings.insert(envStrings.end(), options.environment.begin(), options.environment.end());
    std::vector<char*> argv = Pointers(argStrings);
    std::vector<char*> envp = Pointers(envStrings);
    const std::string folder = workingFolder.string();

    const int outFd = ::memfd_create("child-stdout", MFD_CLOEXEC);
    const int errFd = ::memfd_create("child-stderr", MFD_CLOEXEC);
    const int nullFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int pipeFds[2] = {-1, -1};
    if (options.stdoutClosed && ::pipe2(pipeFds, O_CLOEXEC) == 0) {
        ::close(pipeFds[0]);  // no reader: every write fails with EPIPE (or SIGPIPE)
    }
    const rlimit limit{options.fileSizeLimit, options.fileSizeLimit};

    ChildRun run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(nullFd, STDIN_FILENO);
        ::dup2(options.stdoutClosed ? pipeFds[1] : outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        struct sigaction defaults {};
        defaults.sa_handler = SIG_DFL;
        for (const int signalNumber : {SIGINT, SIGTERM, SIGPIPE, SIGXFSZ})
            ::sigaction(signalNumber, &defaults, nullptr);
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (options.fileSizeLimit != RLIM_INFINITY) ::setrlimit(RLIMIT_FSIZE, &limit);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (pipeFds[1] >= 0) ::close(pipeFds[1]);
    ::close(nullFd);

    std::atomic<bool> ended{pid < 0};
    std::thread beside;
    if (whileRunning && pid > 0) beside = std::thread([&] { whileRunning(pid, ended); });
    int waitStatus = 0;
    const auto deadline = std::chrono::steady_clock::now() + options.hangGuard;
    while (pid > 0 && ::waitpid(pid, &waitStatus, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            run.hung = true;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &waitStatus, 0);
            break;
        }
        std::this_thread::sleep_for(2ms);
    }
    ended = true;
    if (beside.joinable()) beside.join();

    if (pid > 0 && !run.hung) {
        run.exited = WIFEXITED(waitStatus);
        if (run.exited) run.status = WEXITSTATUS(waitStatus);
        if (WIFSIGNALED(waitStatus)) run.signal = WTERMSIG(waitStatus);
    }
    run.out = ReadAll(outFd);
    run.err = ReadAll(errFd);
    ::close(outFd);
    ::close(errFd);
    return run;
}

bool WaitFor(const std::function<bool()>& condition, const std::atomic<bool>& ended) {
    while (!ended) {
        if (condition()) return true;
        std::this_thread::sleep_for(1ms);
    }
    return condition();
}

}  // namespace sonorel::clitest
