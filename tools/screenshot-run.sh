#!/usr/bin/env bash
# Pictures of a Go! and a Preview run on a virtual X server, with a
# throw-away settings folder so that your own ~/.config/Sonorel.conf is
# neither read nor changed. Every picture goes into PICTURE_DIR (default: a
# temporary folder, removed afterwards); the one of the progress dialog is
# copied to docs/processing.png.
#
#   tools/screenshot-run.sh [BUILD_DIR] [PICTURE_DIR]    (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DSONOREL_WERROR=ON
fi
cmake --build "$build_dir" --target sonorel_run_screenshot

settings_dir=$(mktemp -d)
cleanup="$settings_dir"
if [ -n "${2:-}" ]; then
    picture_dir=$2
    mkdir -p "$picture_dir"
else
    picture_dir=$(mktemp -d)
    cleanup="$cleanup $picture_dir"
fi
trap 'rm -rf $cleanup' EXIT
XDG_CONFIG_HOME="$settings_dir" xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build_dir/tools/sonorel_run_screenshot" "$picture_dir"
cp "$picture_dir/processing.png" docs/processing.png
echo "wrote docs/processing.png"
