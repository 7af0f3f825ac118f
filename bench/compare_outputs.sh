#!/usr/bin/env bash
# Checks that a build restores every file exactly as the previous build
# does: a table of inputs (one synthetic transfer in many formats) times a
# table of settings, restored by the previous build's sonorel-cli on one
# thread and by the new one on one and on two threads, compared with cmp.
#
#   bench/compare_outputs.sh BASELINE_BUILD NEW_BUILD [SECONDS]
#
# BASELINE_BUILD and NEW_BUILD are build folders (their src/cli/sonorel-cli
# is run; the inputs come from BASELINE_BUILD's tools/sonorel-make-example,
# converted with ffmpeg). SECONDS is the length of the example (default 12).
# Float files carry a PEAK chunk whose timestamp is the time of writing
# (libsndfile), so two runs of the same build differ there: those four
# bytes are set to zero in both files before they are compared.
# Prints one line per difference and a count; exits 1 when any output
# differs or any run fails.
set -euo pipefail

baseline_build=$(realpath "$1")
new_build=$(realpath "$2")
seconds=${3:-12}
old_cli=$baseline_build/src/cli/sonorel-cli
new_cli=$new_build/src/cli/sonorel-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/in"
"$baseline_build/tools/sonorel-make-example" --seconds "$seconds" --seed 7 "$work/example.wav" >/dev/null
convert() {  # NAME FFMPEG-OUTPUT-OPTIONS...
    local name=$1
    shift
    ffmpeg -nostdin -loglevel error -i "$work/example.wav" \
        -metadata title="Side one" -metadata artist="A band" "$@" "$work/in/$name"
}
cp "$work/example.wav" "$work/in/pcm16.wav"
convert pcm24.wav -c:a pcm_s24le
convert float.wav -c:a pcm_f32le
convert double.wav -c:a pcm_f64le
convert pcm8.wav -c:a pcm_u8
convert pcm16.aiff -c:a pcm_s16be
convert pcm24.aiff -c:a pcm_s24be
convert pcm16.flac -c:a flac -sample_fmt s16
convert pcm24.flac -c:a flac -sample_fmt s32 -bits_per_raw_sample 24
convert pcm16.au -c:a pcm_s16be
convert pcm16.w64 -c:a pcm_s16le
convert pcm16.caf -c:a pcm_s16le
convert rate48k.wav -ar 48000 -c:a pcm_s16le
convert pcm16.raw -f s16le -c:a pcm_s16le

settings=(
    ""
    "--click 0 --noise 0 --distortion 0 --gain -12 --rumble 10 --hiss 4 --bass -18 --treble -18"
    "--click 10 --noise 10 --distortion 10 --gain 12 --rumble 120 --hiss 24 --bass 18 --treble 18"
    "--function vocal"
    "--anti-phase"
    "--keep-level"
    "--function vocal --anti-phase --keep-level --click 8 --hiss 12"
    "--align"
    "--keep-metadata"
    "--align --keep-metadata --wizard 3,1,2,2,1"
)

# cmp, with the PEAK chunk's timestamp zeroed in copies of both files.
same() {
    cmp -s "$1" "$2" && return 0
    python3 - "$1" "$2" <<'PY'
import sys
def clean(path):
    data = bytearray(open(path, "rb").read())
    at = data.find(b"PEAK")
    if at >= 0:
        data[at + 12:at + 16] = bytes(4)  # id, size, version, then the timestamp
    return data
sys.exit(0 if clean(sys.argv[1]) == clean(sys.argv[2]) else 1)
PY
}

runs=0
differences=0
for input in "$work"/in/*; do
    name=$(basename "$input")
    for index in "${!settings[@]}"; do
        read -r -a options <<<"${settings[$index]}"
        # The new build keeps metadata by default; the previous build's
        # default is the new one's --no-metadata.
        new_options=("${options[@]}")
        if [[ " ${settings[$index]} " != *" --keep-metadata "* ]] && "$new_cli" --help | grep -q -- --no-metadata; then
            new_options+=(--no-metadata)
        fi
        for build in old new1 new2; do
            mkdir -p "$work/out/$build"
            rm -f "$work/out/$build/$name"
        done
        "$old_cli" -q -j 1 --threads-per-file 1 "${options[@]}" -o "$work/out/old" "$input"
        "$new_cli" -q -j 1 --threads-per-file 1 "${new_options[@]}" -o "$work/out/new1" "$input"
        "$new_cli" -q -j 1 --threads-per-file 2 "${new_options[@]}" -o "$work/out/new2" "$input"
        for build in new1 new2; do
            runs=$((runs + 1))
            if ! same "$work/out/old/$name" "$work/out/$build/$name"; then
                differences=$((differences + 1))
                echo "DIFFERS: $name, settings [${settings[$index]}], ${build#new} thread(s)"
            fi
        done
    done
done
echo "$runs outputs compared with the previous build, $differences differ"
[ "$differences" -eq 0 ]
