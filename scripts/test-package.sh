#!/usr/bin/env bash
# Tests the packages themselves: builds them (scripts/package.sh), installs
# them into this machine with apt-get, runs the installed programs from PATH,
# validates the desktop entry, the metainfo and the packages, and removes
# them again. The example transfer comes from an existing build's
# synthesiser (build/, as scripts/run-tests.sh leaves it) when there is
# one; the restored file must match that build's sonorel-cli byte for byte.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
fail() {
    echo "package test: $*" >&2
    exit 1
}

scripts/package.sh
gui_deb=$(ls "$PWD"/build-package/sonorel_*.deb)
cli_deb=$(ls "$PWD"/build-package/sonorel-cli_*.deb)

# The signal path keeps -O3 in a Debian build (type None) as well.
dsp_commands=$(grep '"command"' build-package/compile_commands.json | grep '/src/dsp/')
[ -n "$dsp_commands" ] && ! grep -v -- ' -O3 ' <<< "$dsp_commands" > /dev/null ||
    fail "the package build compiles the signal path without -O3"

# The command-line package must install on a machine without a display.
if dpkg-deb -f "$cli_deb" Depends | grep -Eq 'wx|gtk'; then
    fail "sonorel-cli depends on the GUI toolkit: $(dpkg-deb -f "$cli_deb" Depends)"
fi

work=$(mktemp -d)
remove_packages() {
    $sudo apt-get remove -y --purge sonorel sonorel-cli > /dev/null || true
    rm -rf "$work"
}
trap remove_packages EXIT
(cd build-package && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y ./sonorel*.deb)

app_id=$(basename "$(dpkg -L sonorel | grep '^/usr/share/metainfo/.*\.metainfo\.xml$')" .metainfo.xml)
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml"
desktop-file-validate "/usr/share/applications/$app_id.desktop"
dpkg -L sonorel | grep -q '^/usr/share/icons/hicolor/48x48/apps/sonorel.png$' ||
    fail "the 48x48 icon is not installed"
if command -v lintian > /dev/null; then
    lintian --fail-on error "$gui_deb" "$cli_deb"
fi

# The installed tool, found on PATH, restores the example.
[ "$(command -v sonorel-cli)" = /usr/bin/sonorel-cli ] || fail "sonorel-cli is not on PATH from /usr/bin"
synth=build/tools/sonorel-make-example
if [ ! -x "$synth" ]; then
    cmake --build build-package --target sonorel-make-example
    synth=build-package/tools/sonorel-make-example
fi
"$synth" --seconds 8 "$work/transfer.wav"
mkdir "$work/installed" "$work/built"
listing=$(cd "$work" && sonorel-cli -o installed transfer.wav)
restored=${listing##* -> }
[ -s "$restored" ] || fail "the installed sonorel-cli wrote no output: $listing"
if [ -x build/src/cli/sonorel-cli ]; then
    build/src/cli/sonorel-cli -o "$work/built" "$work/transfer.wav" > /dev/null
    cmp "$restored" "$work/built/transfer.wav" ||
        fail "the installed sonorel-cli restores differently from build/"
fi

# The desktop program answers --version without a display, and under Xvfb
# opens its window and closes it with Ctrl+Q, writing its settings.
version=$(env -u DISPLAY sonorel --version)
[ "$version" = "Sonorel $(dpkg-query -W -f='${Version}' sonorel)" ] ||
    fail "sonorel --version printed \"$version\""
XDG_CONFIG_HOME="$work/config" xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    sonorel & pid=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "^Sonorel$" | head -n 1)
    xdotool windowfocus --sync "$window" key ctrl+q
    for _ in $(seq 100); do
        kill -0 "$pid" 2> /dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2> /dev/null; then
        kill "$pid"
        echo "package test: the installed sonorel did not close on Ctrl+Q" >&2
        exit 1
    fi
    wait "$pid"'
[ -s "$work/config/Sonorel.conf" ] || fail "the installed sonorel wrote no settings on closing"

remove_packages
trap - EXIT
! dpkg-query -W -f='${Status}\n' sonorel sonorel-cli 2> /dev/null | grep -q "install ok installed" ||
    fail "the packages are still installed after removal"
[ ! -e /usr/bin/sonorel ] && [ ! -e /usr/bin/sonorel-cli ] || fail "removal left a program behind"
echo "package test passed"
