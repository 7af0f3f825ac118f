#!/usr/bin/env bash
# Whole-process timings of the two restoration methods against the previous
# build, runs alternated so that all three see the same load:
#
#   bench/paired_methods.sh BASELINE_BUILD NEW_BUILD [ROUNDS]
#
# One 3-minute 44.1 kHz 16-bit stereo example (BASELINE_BUILD's
# sonorel-make-example), each run on one thread (-j 1 --threads-per-file 1);
# medians of ROUNDS (default 5), their ratios and x real time, then each
# method's peak memory from /usr/bin/time -v.
set -euo pipefail

baseline_build=$(realpath "$1")
new_build=$(realpath "$2")
rounds=${3:-5}
old_cli=$baseline_build/src/cli/sonorel-cli
new_cli=$new_build/src/cli/sonorel-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
side_seconds=180
"$baseline_build/tools/sonorel-make-example" --seconds "$side_seconds" --seed 3 "$work/side.wav" >/dev/null

source "$(dirname "$0")/paired_timing.sh"
one=(-q -j 1 --threads-per-file 1 -o "$work/out")

declare -A times
for ((round = 1; round <= rounds; ++round)); do
    times[previous]+="$(seconds_of "$old_cli" "${one[@]}" "$work/side.wav") "
    times[classic]+="$(seconds_of "$new_cli" "${one[@]}" "$work/side.wav") "
    times[enhanced]+="$(seconds_of "$new_cli" --method enhanced "${one[@]}" "$work/side.wav") "
done
declare -A med
for key in previous classic enhanced; do
    med[$key]=$(tr ' ' '\n' <<<"${times[$key]}" | grep . | median)
    printf '%-8s median %6.2f s  %5.1fx real time  (runs: %s)\n' "$key" "${med[$key]}" \
        "$(echo "$side_seconds / ${med[$key]}" | bc -l)" "${times[$key]}"
done
echo "3-minute file, one thread, whole process, medians of $rounds paired rounds:"
echo "  enhanced vs classic:           $(ratio "${med[classic]}" "${med[enhanced]}")x"
echo "  enhanced vs previous build:    $(ratio "${med[previous]}" "${med[enhanced]}")x"
echo "  classic vs previous build:     $(ratio "${med[previous]}" "${med[classic]}")x"
for method in classic enhanced; do
    rm -rf "$work/out" && mkdir "$work/out"
    /usr/bin/time -v "$new_cli" --method "$method" "${one[@]}" "$work/side.wav" 2>"$work/time.txt" >/dev/null
    echo "  peak memory, $method: $(awk -F: '/Maximum resident/ { print $2 / 1024 }' "$work/time.txt") MB"
done
