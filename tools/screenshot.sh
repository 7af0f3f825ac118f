#!/usr/bin/env bash
# Regenerates the pictures of the desktop program in docs/: builds the
# screenshot program and runs each scene on a virtual X server with a
# throw-away settings folder, so that your own ~/.config/Sonorel.conf is
# neither read nor changed (the wizard shows its first-use answers).
#
#   tools/screenshot.sh [MODE] [BUILD_DIR] [OUT]     (default: all build)
#
#   all           docs/main-window.png, docs/file-list.png, docs/wizard.png,
#                 docs/batch-summary.png and docs/processing.png (the mode may be left out:
#                 tools/screenshot.sh BUILD_DIR)
#   main-window   the main window, into OUT (default docs/main-window.png)
#   file-list     a long file list with a line's tooltip, into OUT (default
#                 docs/file-list.png)
#   wizard        the settings wizard, into OUT (default docs/wizard.png)
#   summary       the batch summary after a Go!, into OUT (default
#                 docs/batch-summary.png)
#   run           seven pictures of a Go! and a Preview run into the folder OUT
#                 (default: a temporary one, removed afterwards); the one of
#                 the progress dialog is copied to docs/processing.png
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    sed -n '/^#   tools/,/^set -e/{/^#/s/^# \{0,1\}//p}' "$0" >&2
    exit 2
}

mode=all
case ${1:-} in
    all | main-window | file-list | wizard | summary | run)
        mode=$1
        shift
        ;;
    "") ;;
    *)
        # Without a mode the first word names a build folder; one that does
        # not exist is more likely a mistyped mode.
        [ -d "$1" ] || usage
        ;;
esac
build_dir=${1:-build}
out=${2:-}
if [ $# -gt 2 ] || { [ "$mode" = all ] && [ -n "$out" ]; }; then
    usage
fi

if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DSONOREL_WERROR=ON
fi
cmake --build "$build_dir" --target sonorel_screenshot

cleanup=()
trap 'rm -rf "${cleanup[@]}"' EXIT

# One scene on a virtual X server of its own, with settings of its own.
scene() {
    local settings_dir
    settings_dir=$(mktemp -d)
    cleanup+=("$settings_dir")
    XDG_CONFIG_HOME="$settings_dir" xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$build_dir/tools/sonorel_screenshot" "$@"
}

run_pictures() {
    local picture_dir=$1
    if [ -z "$picture_dir" ]; then
        picture_dir=$(mktemp -d)
        cleanup+=("$picture_dir")
    else
        mkdir -p "$picture_dir"
    fi
    scene run "$picture_dir"
    cp "$picture_dir/processing.png" docs/processing.png
    echo "wrote docs/processing.png"
}

case $mode in
    main-window) scene main-window "${out:-docs/main-window.png}" ;;
    file-list) scene file-list "${out:-docs/file-list.png}" ;;
    wizard) scene wizard "${out:-docs/wizard.png}" ;;
    summary) scene summary "${out:-docs/batch-summary.png}" ;;
    run) run_pictures "$out" ;;
    all)
        scene main-window docs/main-window.png
        scene file-list docs/file-list.png
        scene wizard docs/wizard.png
        scene summary docs/batch-summary.png
        run_pictures ""
        ;;
esac
