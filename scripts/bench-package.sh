#!/usr/bin/env bash
# The packaged sonorel-cli against the one of a RelWithDebInfo build, on the
# same generated file: paired runs, alternating which goes first, each
# restoring into a fresh folder. Prints each pair's processor times (user +
# system, which load from other programs disturbs less than wall-clock time)
# and the median ratio packaged / RelWithDebInfo; 1.00 means as fast.
#
#   scripts/bench-package.sh [PACKAGED [REFERENCE [PAIRS [SECONDS]]]]
#
# Defaults: build-package/src/cli/sonorel-cli (scripts/package.sh),
# build/src/cli/sonorel-cli (scripts/build.sh), 9 pairs, a 120-second file.
set -euo pipefail
cd "$(dirname "$0")/.."
packaged=${1:-build-package/src/cli/sonorel-cli}
reference=${2:-build/src/cli/sonorel-cli}
pairs=${3:-9}
seconds=${4:-120}
synth=build/tools/sonorel-make-example
for program in "$packaged" "$reference" "$synth"; do
    [ -x "$program" ] || { echo "bench-package: $program: no such program; build it first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$synth" --seconds "$seconds" "$work/transfer.wav"

# Processor seconds of one restoration with one job.
cpu_seconds() {
    local out
    out=$(mktemp -d "$work/out.XXXXXX")
    local TIMEFORMAT='%U %S'
    { time "$1" -j 1 -o "$out" "$work/transfer.wav" > /dev/null; } 2>&1 | awk '{ print $1 + $2 }'
    rm -rf "$out"
}

ratios=()
printf '%-5s %12s %12s %7s\n' pair packaged reference ratio
for i in $(seq "$pairs"); do
    if [ $((i % 2)) -eq 1 ]; then
        p=$(cpu_seconds "$packaged")
        r=$(cpu_seconds "$reference")
    else
        r=$(cpu_seconds "$reference")
        p=$(cpu_seconds "$packaged")
    fi
    ratio=$(awk -v p="$p" -v r="$r" 'BEGIN { printf "%.3f", p / r }')
    ratios+=("$ratio")
    printf '%-5s %11.2fs %11.2fs %7s\n' "$i" "$p" "$r" "$ratio"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
echo "median ratio packaged / reference over $pairs pairs of a ${seconds}-second file: $median"
