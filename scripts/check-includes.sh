#!/usr/bin/env bash
# Fails when a file under src/ includes across a boundary the wrong way.
#
# Each folder may include its own headers and those of the folders below it:
#
#   filters                                     (the tone filters)
#   engine      filters                         (the restoration kernel)
#   enhanced    filters engine                  (the enhanced restoration)
#   analysis    filters engine                  (the channel analysis)
#   spectrum    engine                          (spectra and levels for pictures)
#   soundfile                                   (libsndfile)
#   settings    dsp                             (settings, presets)
#   pipeline    dsp soundfile settings          (the per-file run)
#   report      dsp soundfile settings pipeline (run reports)
#   portaudio   pipeline                        (the sound card)
#   picture     dsp core                        (pictures of a run)
#   cli         dsp core portaudio picture      (sonorel-cli)
#   resources   dsp core                        (artwork, the help book's place)
#   wizard      dsp core resources              (the settings wizard)
#   ui          dsp core portaudio picture resources wizard   (the main window)
#   app         dsp core portaudio picture resources wizard ui
#
# where dsp = filters engine enhanced analysis spectrum and core = soundfile settings
# pipeline report. Third-party headers belong to one layer each: <fftw3.h>
# to engine, enhanced and spectrum, <sndfile.h> to soundfile, <nlohmann/...> to
# report, <portaudio.h> to portaudio, <cairo.h> and <png.h> to picture, <wx/...> to the
# desktop program (resources, wizard, ui, app). Every include of our own is
# written from its library's root ("engine/kernel.h"), never relative.
set -euo pipefail
cd "$(dirname "$0")/.."

dsp="filters engine enhanced analysis spectrum"
core="soundfile settings pipeline report"
declare -A allowed=(
    [filters]=""
    [engine]="filters"
    [enhanced]="filters engine"
    [analysis]="filters engine"
    [spectrum]="engine"
    [soundfile]=""
    [settings]="$dsp"
    [pipeline]="$dsp soundfile settings"
    [report]="$dsp soundfile settings pipeline"
    [portaudio]="pipeline"
    [picture]="$dsp $core"
    [cli]="$dsp $core portaudio picture"
    [resources]="$dsp $core"
    [wizard]="$dsp $core resources"
    [ui]="$dsp $core portaudio picture resources wizard"
    [app]="$dsp $core portaudio picture resources wizard ui"
)
declare -A library_header=(
    [fftw3.h]="engine enhanced spectrum"
    [sndfile.h]="soundfile"
    [nlohmann]="report"
    [portaudio.h]="portaudio"
    [cairo.h]="picture"
    [png.h]="picture"
    [wx]="resources wizard ui app"
)

failures=0
fail() {
    echo "$1: $2" >&2
    failures=$((failures + 1))
}

while IFS= read -r file; do
    # src/dsp/engine/kernel.cpp -> engine; src/cli/main.cpp -> cli
    relative=${file#src/}
    case "$relative" in
        dsp/* | core/* | playback/* | visual/*) folder=$(cut -d/ -f2 <<<"$relative") ;;
        *) folder=$(cut -d/ -f1 <<<"$relative") ;;
    esac
    if [ -z "${allowed[$folder]+set}" ]; then
        fail "$file" "folder \"$folder\" has no rule in $0"
        continue
    fi
    while IFS= read -r line; do
        number=${line%%:*}
        text=${line#*:}
        if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]*)\" ]]; then
            target=${BASH_REMATCH[1]}
            if [[ $target != */* || $target == ../* || $target == ./* ]]; then
                fail "$file:$number" "\"$target\" is not written from a library root"
                continue
            fi
            top=${target%%/*}
            if [ "$top" != "$folder" ] && [[ " ${allowed[$folder]} " != *" $top "* ]]; then
                fail "$file:$number" "$folder/ may not include \"$target\""
            fi
        elif [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]*)\> ]]; then
            target=${BASH_REMATCH[1]}
            key=${target%%/*}  # "wx/frame.h" -> wx; "sndfile.h" stays
            if [ -n "${library_header[$key]+set}" ] &&
                [[ " ${library_header[$key]} " != *" $folder "* ]]; then
                fail "$file:$number" "<$target> may be included only in ${library_header[$key]}, not in $folder"
            fi
        fi
    done < <(grep -n '#[[:space:]]*include' "$file" || true)
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'src/*.h.in')

if [ "$failures" -gt 0 ]; then
    echo "$failures include(s) cross a boundary the wrong way" >&2
    exit 1
fi
echo "includes respect the library boundaries"
