#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine, builds, and runs the main job
# on the bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build/bench/kernel_bench --benchmark_min_time=1
