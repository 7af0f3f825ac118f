#include "private_x_server.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace sonorel::test {

bool PrivateXServer::Wanted() {
    const char* wanted = getenv("SONOREL_PRIVATE_X_SERVER");
    return wanted != nullptr && std::string(wanted) == "1";
}

PrivateXServer::PrivateXServer() {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw std::runtime_error("no pipe for the X server");
    server_ = fork();
    if (server_ < 0) throw std::runtime_error("cannot start the X server");
    if (server_ == 0) {
        close(pipeFds[0]);
        const std::string fd = std::to_string(pipeFds[1]);
        // The screen xvfb-run gives the other GUI tests; no network listener.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    // The server writes its display number once it accepts connections.
    std::string display;
    char c = 0;
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n')
        display += c;
    close(pipeFds[0]);
    if (display.empty()) {
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
        throw std::runtime_error("the X server (Xvfb) did not start");
    }
    setenv("DISPLAY", (":" + display).c_str(), 1);
}

PrivateXServer::~PrivateXServer() {
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
}

}  // namespace sonorel::test
