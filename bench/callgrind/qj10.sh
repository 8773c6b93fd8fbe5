#!/usr/bin/env bash
# Instructions per byte of the QJ10 compressor under callgrind: a whole
# `setuptool compress` and `setuptool expand` run on the first 200 KB of an
# executable, less the same runs on an empty file, divided by 204800.
# Usage: qj10.sh NATIVE_BUILD_DIR RESULTS_DIR
set -euo pipefail
name=qj10
. "$(dirname "$0")/common.sh" "$@"
head -c $size "$src" > "$out/full.bin"
: > "$out/empty.bin"

for case in full empty; do
  count "$tool" compress "$out/$case.bin" "$out/$case.qj10" > "$out/compress-$case"
  count "$tool" expand "$out/$case.qj10" "$out/$case.out" > "$out/expand-$case"
done
cmp -s "$out/full.out" "$out/full.bin" || { echo "qj10: round trip differs"; exit 1; }
enc=$(( $(cat "$out/compress-full") - $(cat "$out/compress-empty") ))
dec=$(( $(cat "$out/expand-full") - $(cat "$out/expand-empty") ))
packed=$(( $(stat -c %s "$out/full.qj10") - $(stat -c %s "$out/empty.qj10") ))
printf '%-8s %12s %12s %9s\n' "codec" "decode i/B" "encode i/B" "ratio"
awk -v d=$dec -v e=$enc -v p=$packed -v n=$size \
  'BEGIN { printf "%-8s %12.1f %12.1f %8.1f%%\n", "qj10", d / n, e / n, 100 * p / n }'
