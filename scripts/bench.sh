#!/bin/sh
# Prints this machine's performance figures: the Google Benchmark suite
# (the Calculate action against a std::to_chars floor, RunBatch in memory,
# fields of up to a million characters, the exact figures against the plain
# action), then quorvel-calc --batch, without and with --details, on a
# generated input of 1,000,000 lines and quorvel-calc --sweep of 1,000,000
# rows (JSON Lines and CSV), in lines or rows per second on one core; then
# the window's start-up against a bare Qt window's, where the window is built.
#   scripts/bench.sh build-bench/bin
set -eu

bin_dir=${1:?usage: bench.sh BIN_DIR}
lines=${BENCH_BATCH_LINES:-1000000}
# 10 MHz up in steps of 1 Hz: 1,000,000 rows.
sweep="10:10.999999:0.000001"
sweep_rows=1000000
runs=3
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT INT TERM
export LC_ALL=C

# Pin to one core where taskset exists, so figures are per core.
one_core=""
if command -v taskset >/dev/null 2>&1; then one_core="taskset -c 0"; fi

echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
     "$(uname -sm)"
echo

$one_core "$bin_dir/quorvel-bench" --benchmark_out="$scratch/bench.csv" --benchmark_out_format=csv

# CPU time of a benchmark, by name, from the CSV report.
cpu_ns() {
    awk -F, -v name="\"$1\"" '$1 == name { print $4 }' "$scratch/bench.csv"
}
ratio() {
    awk -v a="$(cpu_ns "$1")" -v b="$(cpu_ns "$2")" 'BEGIN { printf "%.1f", a / b }'
}
echo
echo "Calculate action / to_chars floor (goal: at most 3x):" \
     "initial texts $(ratio BM_CalculateInitialTexts BM_ToCharsFloorInitialTexts)x," \
     "realistic mix $(ratio BM_CalculateRealisticMix BM_ToCharsFloorRealisticMix)x"
echo "Action with the exact figures / plain action (goal: at most 3x):" \
     "realistic mix $(ratio BM_RunActionWithFiguresRealisticMix BM_RunActionRealisticMix)x," \
     "with their short forms $(ratio BM_RunActionWithFiguresAtAGlanceRealisticMix BM_RunActionRealisticMix)x"

# Realistic batch lines: 32 and 48 bits, common clocks, wanted frequencies
# below the Nyquist limit with up to six decimals, a measured error on every
# fourth line and a wanted frequency above the limit on every hundredth.
awk -v lines="$lines" 'BEGIN {
    split("100 125 180 50 20 1000", clocks, " ")
    for (i = 0; i < lines; i++) {
        clock = clocks[i % 6 + 1]
        bits = (i % 3 == 0) ? 48 : 32
        wanted = sprintf("%d.%06d", i % int(clock * 0.49), (i * 7919) % 1000000)
        if (i % 100 == 99) { bits = 32; wanted = sprintf("%d", clock * 0.6) }
        error = (i % 4 == 1) ? sprintf("%d.%d", i % 41 - 20, i % 10) : ""
        printf "{\"BitSize\":\"%d\",\"Fclock\":\"%d\",\"Fwanted\":\"%s\",\"Ferror\":\"%s\"}\n",
               bits, clock, wanted, error
    }
}' >"$scratch/batch.jsonl"

# CPU seconds (user + system) of this shell's finished children, into cpu_s.
# `times` runs here, not in a subshell, which would count none of them.
children_cpu() {
    times >"$scratch/times"
    cpu_s=$(awk 'NR == 2 { split($1, user, "m"); split($2, sys, "m")
                           print user[1] * 60 + user[2] + sys[1] * 60 + sys[2] }' "$scratch/times")
}

# Runs a command $runs times with stdin from a file: the best wall time in
# ns into best_ns, the least CPU time in s into best_cpu_s; its output goes
# to $scratch/out.
#   time_best INPUT COMMAND ARGUMENT...
time_best() {
    input=$1
    shift
    best_ns=0
    best_cpu_s=0
    run=1
    while [ "$run" -le "$runs" ]; do
        children_cpu
        cpu_before=$cpu_s
        start=$(date +%s%N)
        $one_core "$@" <"$input" >"$scratch/out"
        end=$(date +%s%N)
        children_cpu
        elapsed=$((end - start))
        if [ "$best_ns" -eq 0 ] || [ "$elapsed" -lt "$best_ns" ]; then best_ns=$elapsed; fi
        best_cpu_s=$(awk -v best="$best_cpu_s" -v used="$(awk -v a="$cpu_s" -v b="$cpu_before" 'BEGIN { print a - b }')" \
                     'BEGIN { print (best == 0 || used < best) ? used : best }')
        run=$((run + 1))
    done
}

# "N things in S s (best of 3) = R things/s, CPU time C s = R' things/s (goal: at least G)"
#   report NAME COUNT UNIT GOAL
report() {
    awk -v name="$1" -v count="$2" -v unit="$3" -v goal="$4" -v ns="$best_ns" -v cpu="$best_cpu_s" \
        -v runs="$runs" 'BEGIN {
        printf "quorvel-calc %s: %d %s in %.2f s (best of %d) = %.0f %s/s; CPU time %.2f s = %.0f %s/s" \
               " (goal: at least %d)\n", name, count, unit, ns / 1e9, runs, count / (ns / 1e9), unit,
               cpu, count / cpu, unit, goal
    }'
}

# --batch, then --batch --details, on the generated lines.
for details in "" --details; do
    # shellcheck disable=SC2086
    time_best "$scratch/batch.jsonl" "$bin_dir/quorvel-calc" --batch $details
    written=$(wc -l <"$scratch/out")
    if [ "$written" -ne "$lines" ]; then
        echo "quorvel-calc --batch $details wrote $written lines for $lines" >&2
        exit 1
    fi
    goal=250000
    if [ -n "$details" ]; then goal=100000; fi
    report "--batch${details:+ $details}" "$lines" lines "$goal"
done

# A sweep writes one line a row, the CSV a header line more.
for format in "" --csv; do
    header_lines=0
    if [ -n "$format" ]; then header_lines=1; fi
    # shellcheck disable=SC2086
    time_best /dev/null "$bin_dir/quorvel-calc" --sweep "$sweep" $format
    written=$(wc -l <"$scratch/out")
    if [ "$written" -ne "$((sweep_rows + header_lines))" ]; then
        echo "quorvel-calc --sweep $format wrote $written lines for $sweep_rows rows" >&2
        exit 1
    fi
    report "--sweep $sweep${format:+ $format}" "$sweep_rows" rows 250000
done

# Start-up: the window and a bare Qt window with the same controls, started
# alternately under one virtual X server, from process start to the window
# mapped (not pinned: the time a user waits).
if [ -x "$bin_dir/quorvel-startup-bench" ]; then
    mkdir -m 700 "$scratch/runtime"
    XDG_RUNTIME_DIR="$scratch/runtime" QT_QPA_PLATFORM=xcb xvfb-run --auto-servernum \
        --server-args="-screen 0 800x600x24 -dpi 96" \
        "$bin_dir/quorvel-startup-bench" "${BENCH_STARTUP_RUNS:-21}" "$bin_dir/quorvel" "$bin_dir/quorvel-bare-window"
fi
