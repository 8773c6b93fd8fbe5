#!/usr/bin/env bash
# Instructions per byte of the packed codecs under callgrind: a whole
# `setuptool pack` and `setuptool extract` run of a one-member archive
# holding the first 200 KB of an executable, less the same run on an empty
# member, divided by the 204800 bytes of original data.
# Usage: packed.sh NATIVE_BUILD_DIR RESULTS_DIR
set -euo pipefail
name=packed
. "$(dirname "$0")/common.sh" "$@"
mkdir -p "$out/full" "$out/empty"
head -c $size "$src" > "$out/full/member.bin"
: > "$out/empty/member.bin"

printf '%-8s %12s %12s %9s\n' "codec" "decode i/B" "encode i/B" "ratio"
for codec in lzss huff lzw; do
  for case in full empty; do
    count "$tool" pack "$out/$codec-$case.aqj" -m $codec -C "$out/$case" member.bin > "$out/pack-$codec-$case"
    count "$tool" extract "$out/$codec-$case.aqj" "$out/x-$codec-$case" > "$out/extract-$codec-$case"
  done
  cmp -s "$out/x-$codec-full/member.bin" "$out/full/member.bin" || { echo "packed: $codec round trip differs"; exit 1; }
  enc=$(( $(cat "$out/pack-$codec-full") - $(cat "$out/pack-$codec-empty") ))
  dec=$(( $(cat "$out/extract-$codec-full") - $(cat "$out/extract-$codec-empty") ))
  packed=$(( $(stat -c %s "$out/$codec-full.aqj") - $(stat -c %s "$out/$codec-empty.aqj") ))
  awk -v c=$codec -v d=$dec -v e=$enc -v p=$packed -v n=$size \
    'BEGIN { printf "%-8s %12.1f %12.1f %8.1f%%\n", c, d / n, e / n, 100 * p / n }'
done
