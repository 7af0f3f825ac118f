#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine, builds, and runs every test.
# The GUI suite needs a display, so the tests run under a virtual X server;
# -noreset keeps it up between test processes (a reset as the last client
# leaves would make the next GUI test fail to open the display).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --test-dir build --output-on-failure -j2
