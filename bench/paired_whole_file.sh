#!/usr/bin/env bash
# Whole-process timings of sonorel-cli, the previous build against the new
# one in one session, runs alternated so that both see the same load:
#
#   bench/paired_whole_file.sh BASELINE_BUILD NEW_BUILD [ROUNDS] [LONG_SECONDS]
#
# One 3-minute example (BASELINE_BUILD's sonorel-make-example): each round
# times baseline and new with --threads-per-file 1 and 2, and ffmpeg's
# adeclick,afftdn chain on one thread; medians of ROUNDS (default 5) and
# their ratios are printed. Then a side of LONG_SECONDS (default 1800) is
# restored on two threads by each build (alternated, 3 rounds), with the
# new build's peak memory from /usr/bin/time -v.
set -euo pipefail

baseline_build=$(realpath "$1")
new_build=$(realpath "$2")
rounds=${3:-5}
long_seconds=${4:-1800}
old_cli=$baseline_build/src/cli/sonorel-cli
new_cli=$new_build/src/cli/sonorel-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$baseline_build/tools/sonorel-make-example" --seconds 180 --seed 3 "$work/side3min.wav" >/dev/null

source "$(dirname "$0")/paired_timing.sh"

declare -A times
for ((round = 1; round <= rounds; ++round)); do
    for threads in 1 2; do
        times[old$threads]+="$(seconds_of "$old_cli" -q -j 1 --threads-per-file "$threads" -o "$work/out" "$work/side3min.wav") "
        times[new$threads]+="$(seconds_of "$new_cli" -q -j 1 --threads-per-file "$threads" -o "$work/out" "$work/side3min.wav") "
    done
    times[ffmpeg]+="$(seconds_of ffmpeg -nostdin -threads 1 -filter_threads 1 -i "$work/side3min.wav" \
        -af adeclick,afftdn "$work/out/ffmpeg.wav") "
done
declare -A med
for key in old1 new1 old2 new2 ffmpeg; do
    med[$key]=$(tr ' ' '\n' <<<"${times[$key]}" | grep . | median)
    printf '%-7s median %6.2f s   (runs: %s)\n' "$key" "${med[$key]}" "${times[$key]}"
done
echo "3-minute file, whole process, medians of $rounds paired rounds:"
echo "  new, two threads vs one:          $(ratio "${med[new1]}" "${med[new2]}")x"
echo "  previous, two threads vs one:     $(ratio "${med[old1]}" "${med[old2]}")x"
echo "  one thread, new vs previous:      $(ratio "${med[old1]}" "${med[new1]}")x"
echo "  two threads, new vs previous:     $(ratio "${med[old2]}" "${med[new2]}")x"
echo "  one thread, ffmpeg adeclick,afftdn vs new:      $(ratio "${med[ffmpeg]}" "${med[new1]}")x"
echo "  one thread, ffmpeg adeclick,afftdn vs previous: $(ratio "${med[ffmpeg]}" "${med[old1]}")x"

"$baseline_build/tools/sonorel-make-example" --seconds "$long_seconds" --seed 4 "$work/long.wav" >/dev/null
long_old=""
long_new=""
for ((round = 1; round <= 3; ++round)); do
    long_old+="$(seconds_of "$old_cli" -q -j 1 --threads-per-file 2 -o "$work/out" "$work/long.wav") "
    long_new+="$(seconds_of "$new_cli" -q -j 1 --threads-per-file 2 -o "$work/out" "$work/long.wav") "
done
echo "$long_seconds-second side on two threads: previous $(tr ' ' '\n' <<<"$long_old" | grep . | median) s" \
    "(runs: $long_old), new $(tr ' ' '\n' <<<"$long_new" | grep . | median) s (runs: $long_new)"
rm -rf "$work/out" && mkdir "$work/out"
/usr/bin/time -v "$new_cli" -q -j 1 --threads-per-file 2 -o "$work/out" "$work/long.wav" 2>"$work/time.txt"
echo "new build, peak memory: $(grep 'Maximum resident' "$work/time.txt" | awk '{ print $NF }') KB"
