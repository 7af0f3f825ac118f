#pragma once
// A virtual X server for this test process alone. Tests that send real input
// events move the one pointer and keyboard focus of their X server; on a
// server shared with other test processes (ctest -j) another test's window
// could take the focus or lie under the pointer. Such tests run with
// SONOREL_PRIVATE_X_SERVER=1, and the suite's main starts this server before
// the toolkit opens its display.

#include <sys/types.h>

namespace sonorel::test {

class PrivateXServer {
  public:
    // Starts Xvfb, which picks a free display number itself (so two test
    // processes cannot race for one), and points DISPLAY at it. Throws
    // std::runtime_error when the server cannot be started.
    PrivateXServer();
    // Stops the server.
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    static bool Wanted();

  private:
    pid_t server_ = -1;
};

}  // namespace sonorel::test
