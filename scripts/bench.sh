#!/bin/sh
# Prints this machine's performance figures: the Google Benchmark suite
# (the Calculate action against a std::to_chars floor, RunBatch in memory,
# fields of up to a million characters, the exact figures against the plain
# action), then quorvel-calc --batch, without and with --details, on a
# generated input of 1,000,000 lines, in lines per second on one core.
#   scripts/bench.sh build-bench/bin
set -eu

bin_dir=${1:?usage: bench.sh BIN_DIR}
lines=${BENCH_BATCH_LINES:-1000000}
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
     "realistic mix $(ratio BM_RunActionWithFiguresRealisticMix BM_RunActionRealisticMix)x"

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

# Times quorvel-calc on the generated lines with the given options, best of
# $runs, and prints its rate against a goal in lines per second.
time_batch() {
    goal=$1
    shift
    best_ns=0
    run=1
    while [ "$run" -le "$runs" ]; do
        start=$(date +%s%N)
        $one_core "$bin_dir/quorvel-calc" "$@" <"$scratch/batch.jsonl" >"$scratch/batch.out"
        end=$(date +%s%N)
        elapsed=$((end - start))
        if [ "$best_ns" -eq 0 ] || [ "$elapsed" -lt "$best_ns" ]; then best_ns=$elapsed; fi
        run=$((run + 1))
    done
    written=$(wc -l <"$scratch/batch.out")
    if [ "$written" -ne "$lines" ]; then
        echo "quorvel-calc $* wrote $written lines for $lines" >&2
        exit 1
    fi
    awk -v lines="$lines" -v ns="$best_ns" -v runs="$runs" -v goal="$goal" -v options="$*" 'BEGIN {
        printf "quorvel-calc %s: %d lines in %.2f s (best of %d) = %.0f lines/s (goal: at least %d)\n",
               options, lines, ns / 1e9, runs, lines / (ns / 1e9), goal
    }'
}

time_batch 250000 --batch
time_batch 100000 --batch --details
