#!/usr/bin/env bash
# Regenerates docs/main-window.png: builds the screenshot tool and runs it on
# a virtual X server, with a throw-away settings folder so that your own
# ~/.config/Sonorel.conf is neither read nor changed.
#
#   tools/screenshot-main-window.sh [BUILD_DIR]    (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DSONOREL_WERROR=ON
fi
cmake --build "$build_dir" --target sonorel_screenshot

settings_dir=$(mktemp -d)
trap 'rm -rf "$settings_dir"' EXIT
XDG_CONFIG_HOME="$settings_dir" xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build_dir/src/sonorel_screenshot" docs/main-window.png
echo "wrote docs/main-window.png"
