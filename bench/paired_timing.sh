# Shared by the paired whole-process benchmarks (sourced, not run). Needs
# $work, the benchmark's scratch folder.

# Wall-clock seconds of one command, its output folder $work/out emptied first.
seconds_of() {
    rm -rf "$work/out" && mkdir "$work/out"
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}

# The median of numbers, one per line.
median() { sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

# $1 / $2 to two places.
ratio() { echo "scale=2; $1 / $2" | bc -l; }
