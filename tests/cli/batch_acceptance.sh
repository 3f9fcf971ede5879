#!/bin/sh
# Runs quorvel-calc --batch on the worked examples and the failure cases and
# compares its output, line for line, with the texts worked out by hand.
#   batch_acceptance.sh QUORVEL_CALC INPUT EXPECTED
set -eu
calc=$1 input=$2 expected=$3
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
"$calc" --batch < "$input" > "$actual"
diff -u "$expected" "$actual"
