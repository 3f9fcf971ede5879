#!/bin/sh
# Runs every fuzz target in BIN_DIR for SECONDS each (default 60), one after
# the other, each on a scratch copy of its seed corpus (fuzz/corpus/<name>/) so
# the committed corpus stays small. A target that finds a failing input stops,
# its log is shown and the input is kept in BIN_DIR/../fuzz-artifacts/<name>/.
# Exits non-zero when any target failed.
#   scripts/fuzz.sh build-fuzz/bin 60
set -eu

bin_dir=${1:?usage: fuzz.sh BIN_DIR [SECONDS]}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
bin_dir=$(cd "$bin_dir" && pwd)
artifacts=$(dirname "$bin_dir")/fuzz-artifacts
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT INT TERM

# The number readers and the action see field texts, the batch reader JSON
# Lines of them: give each its tokens.
dictionary_for() {
    case "$1" in
        read_number|read_bit_size|calculate|figures) echo "-dict=$root/fuzz/numbers.dict" ;;
        batch) echo "-dict=$root/fuzz/batch.dict" ;;
        register_layout) echo "-dict=$root/fuzz/layout.dict" ;;
        *) echo "" ;;
    esac
}

found=0
failed=0
for target in "$bin_dir"/fuzz_*; do
    [ -x "$target" ] || continue
    found=$((found + 1))
    name=$(basename "$target")
    name=${name#fuzz_}
    work="$scratch/$name"
    mkdir -p "$work/corpus" "$artifacts/$name"
    if [ -d "$root/fuzz/corpus/$name" ]; then
        cp "$root/fuzz/corpus/$name"/* "$work/corpus/" 2>/dev/null || true
    fi

    # -timeout: one input taking seconds means a loop that is not linear.
    # shellcheck disable=SC2046
    if "$target" "$work/corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$name/" $(dictionary_for "$name") \
        >"$work/log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
        units=$(ls "$work/corpus" | wc -l)
        echo "fuzz $name: ok, ${runs:-?} inputs in ${seconds}s, corpus of $units"
    else
        failed=$((failed + 1))
        echo "fuzz $name: FAILED (input kept in $artifacts/$name/)"
        tail -n 40 "$work/log"
    fi
done

if [ "$found" -eq 0 ]; then
    echo "fuzz: no fuzz_* targets in $bin_dir" >&2
    exit 1
fi
[ "$failed" -eq 0 ]
