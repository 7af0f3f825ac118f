#!/usr/bin/env bash
# Regenerates docs/wizard.png: builds the wizard's screenshot tool and runs
# it on a virtual X server, with a throw-away settings folder so that your
# own ~/.config/Sonorel.conf is neither read nor changed (the dialog shows
# its first-use answers).
#
#   tools/screenshot-wizard.sh [BUILD_DIR]    (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DSONOREL_WERROR=ON
fi
cmake --build "$build_dir" --target sonorel_wizard_screenshot

settings_dir=$(mktemp -d)
trap 'rm -rf "$settings_dir"' EXIT
XDG_CONFIG_HOME="$settings_dir" xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build_dir/src/sonorel_wizard_screenshot" docs/wizard.png
echo "wrote docs/wizard.png"
