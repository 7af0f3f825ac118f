#!/usr/bin/env bash
# Soak test of sonorel-cli, not part of CI: restores a few hundred short
# files with --jobs 2 under a file-size limit that the longer outputs run
# into, while another process deletes inputs and takes output names (files
# and dangling links) just before the program gets to them. Then it counts
# what became of every input: restored, failed with a message, or lost.
# Lost must be 0: an input the program says nothing about, an output it
# names that is missing or not well formed, or a name the other process
# took that the program wrote to.
#
# Well formed: a WAV file whose RIFF and data sizes agree with the file,
# holding whole blocks of 883 samples, each within +-0.999.
#
#   scripts/soak.sh [FILES]     FILES inputs (default 300); needs ./build
set -euo pipefail
cd "$(dirname "$0")/.."

files=${1:-300}
cli=build/src/cli/sonorel-cli
make_example=build/tools/sonorel-make-example
if [ ! -x "$cli" ] || [ ! -x "$make_example" ]; then
    echo "soak: build first (scripts/build.sh)" >&2
    exit 2
fi
work=$(mktemp -d /tmp/sonorel-soak.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in" "$work/out"
: >"$work/taken"

# 0.999 of full scale in 16-bit steps, and the kernel's block.
bound=32735
block_bytes=$((883 * 2))

# A well-formed 16-bit mono WAV output, as described above.
well_formed() {
    local f=$1 size riff off id len
    [ -f "$f" ] && [ ! -L "$f" ] || return 1
    size=$(stat -c %s "$f")
    [ "$(head -c 4 "$f")" = RIFF ] || return 1
    riff=$(od -An -tu4 -j4 -N4 "$f" | tr -d ' ')
    [ $((riff + 8)) -eq "$size" ] || return 1
    off=12
    while [ $((off + 8)) -le "$size" ]; do
        id=$(dd if="$f" bs=1 skip="$off" count=4 2>/dev/null)
        len=$(od -An -tu4 -j$((off + 4)) -N4 "$f" | tr -d ' ')
        if [ "$id" = data ]; then
            [ $((off + 8 + len)) -eq "$size" ] && [ $((len % block_bytes)) -eq 0 ] || return 1
            od -An -v -td2 -j$((off + 8)) -N"$len" "$f" |
                awk -v b="$bound" '{ for (i = 1; i <= NF; i++) if ($i > b || $i < -b) exit 1 }'
            return
        fi
        off=$((off + 8 + len + len % 2))
    done
    return 1
}

# Inputs: eight transfers of 1 to 4 seconds, copied under the inputs' names.
for seed in 1 2 3 4 5 6 7 8; do
    "$make_example" --seconds $(((seed - 1) % 4 + 1)) --seed "$seed" "$work/seed$seed.wav" >/dev/null
done
inputs=()
for i in $(seq -w 1 "$files"); do
    cp "$work/seed$((10#$i % 8 + 1)).wav" "$work/in/take$i.wav"
    inputs+=("$work/in/take$i.wav")
done

# The other program: every 30 ms it deletes an input, takes an output name
# (the first of the naming rule, or the next if that exists) as a file of
# its own, or leaves a dangling link under one.
interfere() {
    local n=0 i name
    while [ ! -e "$work/done" ]; do
        n=$((n + 1))
        i=$(printf "%0${#files}d" $((RANDOM % files + 1)))
        name="$work/out/take$i.wav"
        [ -e "$name" ] || [ -L "$name" ] && name="$work/out/take$i-1.wav"
        case $((RANDOM % 3)) in
            0) rm -f "$work/in/take$i.wav" ;;
            1) if (set -o noclobber; echo "taken by another program, $n" >"$name") 2>/dev/null; then
                   printf '%s\t%s\n' "$name" "taken by another program, $n" >>"$work/taken"
               fi ;;
            2) ln -s "$work/nowhere-$n" "$name" 2>/dev/null || true ;;
        esac
        sleep 0.03
    done
}

interfere &
interferer=$!
started=$(date +%s)
set +e
# A file-size limit of 300 KiB: the 4-second outputs (345 KiB) run into it.
(ulimit -f 300 && exec "$cli" --jobs 2 -o "$work/out" "${inputs[@]}") \
    >"$work/stdout" 2>"$work/stderr"
status=$?
set -e
touch "$work/done"
wait "$interferer"
seconds=$(($(date +%s) - started))

restored=0
failed=0
lost=0
declare -A messages=()
for input in "${inputs[@]}"; do
    done_line=$(grep -F -- "$input -> " "$work/stdout" || true)
    failed_line=$(grep -F -- "$input: " "$work/stderr" || true)
    if [ -n "$done_line" ] && [ -z "$failed_line" ]; then
        if well_formed "${done_line#*" -> "}"; then
            restored=$((restored + 1))
        else
            echo "soak: lost: $done_line (the output is missing or not well formed)" >&2
            lost=$((lost + 1))
        fi
    elif [ -n "$failed_line" ] && [ -z "$done_line" ]; then
        message=${failed_line#"$input: "}
        case "$message" in
            "Output file is incomplete ("*")")
                output=${message#"Output file is incomplete ("}
                output=${output%")"}
                if ! well_formed "$output"; then
                    echo "soak: lost: $failed_line (the shorter file is not well formed)" >&2
                    lost=$((lost + 1))
                    continue
                fi
                message="Output file is incomplete" ;;
            "Input file could not be opened or is too short" | "Output file could not be opened") ;;
            *)
                echo "soak: lost: $failed_line (not one of the program's messages)" >&2
                lost=$((lost + 1))
                continue ;;
        esac
        failed=$((failed + 1))
        messages[$message]=$((${messages[$message]:-0} + 1))
    else
        echo "soak: lost: $input (reported $( [ -n "$done_line$failed_line" ] && echo twice || echo never))" >&2
        lost=$((lost + 1))
    fi
done

taken=0
while IFS=$'\t' read -r name content; do
    taken=$((taken + 1))
    if [ "$(cat "$name" 2>/dev/null)" != "$content" ]; then
        echo "soak: lost: $name, taken by the other program, was written to" >&2
        lost=$((lost + 1))
    fi
done <"$work/taken"
links=$(find "$work/out" -type l | wc -l)

expected_status=$([ "$failed" -eq 0 ] && echo 0 || echo 1)
echo "soak: $files inputs in ${seconds}s (--jobs 2, file-size limit 300 KiB), exit status $status"
echo "soak:   restored: $restored"
echo "soak:   failed with a message: $failed"
for message in "${!messages[@]}"; do
    echo "soak:     ${messages[$message]} x $message"
done
echo "soak:   lost: $lost"
echo "soak:   names taken by the other program: $taken files (all intact unless counted as lost), $links dangling links"
if [ "$lost" -ne 0 ] || [ "$status" -ne "$expected_status" ]; then
    [ "$status" -eq "$expected_status" ] || echo "soak: exit status $status, expected $expected_status" >&2
    exit 1
fi
