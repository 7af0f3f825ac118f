#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over every source file of
# ours in a build's compilation database (default: ./build, as
# scripts/build.sh leaves it); fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/compile_commands.json" ]; then
    echo "no $build/compile_commands.json: build first (scripts/build.sh)" >&2
    exit 2
fi
# The compilation database holds GCC's command lines; clang need not know
# every warning option in them.
run-clang-tidy -p "$build" -j "$(nproc)" -quiet -extra-arg=-Wno-unknown-warning-option \
    "$PWD/(src|tests|tools|bench)/"
