#!/usr/bin/env bash
# Restores an archive on a Slurm cluster: one array task per input file, each
# running sonorel-cli on its file into one shared output folder, appending to
# one report; or, given a folder instead of a list, array task K of N
# restores the K-th share of the whole tree (sonorel-cli -r --share K/N)
# into the same mirrored tree, the bytes a single -r run would write.
#
#   ls /archive/transfers/*.wav > /archive/list.txt
#   mkdir -p /archive/restored/pictures
#   sbatch --array=1-$(wc -l < /archive/list.txt)%32 scripts/slurm-restore.sh \
#       /archive/list.txt /archive/restored \
#       --align --keep-metadata --report /archive/restored/report.jsonl \
#       --picture /archive/restored/pictures
#
#   sbatch --array=1-16 scripts/slurm-restore.sh /archive/discs /archive/restored \
#       --report /archive/restored/report.jsonl
#
# Array task N restores line N of the list (one path a line); the arguments
# after the output folder go to sonorel-cli. Outputs never overwrite anything
# and each task's report line goes in whole under a lock, so tasks may run in
# any order on any node; the list, the inputs, the output folder and the
# report must be on a file system the nodes share. The outputs are the
# bytes a single run of the same build gives. SONOREL_CLI names the program
# when it is not on the nodes' PATH. A failed file fails its task (exit 1),
# which sacct then shows.
#SBATCH --job-name=sonorel-restore
#SBATCH --cpus-per-task=1
#SBATCH --output=sonorel-restore-%A_%a.out
set -euo pipefail

if [ $# -lt 2 ] || [ -z "${SLURM_ARRAY_TASK_ID:-}" ]; then
    echo "usage: sbatch --array=1-N $0 LIST|TREE OUTPUT_FOLDER [sonorel-cli options]" >&2
    exit 2
fi
list=$1
output=$2
shift 2

if [ -d "$list" ]; then
    # Tasks 1 to N, N the size of the array.
    count=${SLURM_ARRAY_TASK_COUNT:-${SLURM_ARRAY_TASK_MAX:-1}}
    exec "${SONOREL_CLI:-sonorel-cli}" --quiet --jobs 1 -r \
        --share "${SLURM_ARRAY_TASK_ID}/${count}" -o "$output" "$@" -- "$list"
fi

input=$(sed -n "${SLURM_ARRAY_TASK_ID}p" "$list")
if [ -z "$input" ]; then
    echo "$0: line ${SLURM_ARRAY_TASK_ID} of $list is empty or missing" >&2
    exit 2
fi
exec "${SONOREL_CLI:-sonorel-cli}" --quiet --jobs 1 -o "$output" "$@" -- "$input"
