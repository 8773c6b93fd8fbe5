#!/usr/bin/env bash
# setuptool pack on one core and on all of them: a tree of a few hundred
# files of about 100 MB in all (programs and libraries of this system, so
# that the codecs see real data), packed with -j 1 and with -j on every
# core, for each codec. Prints MB/s of input by wall time, the CPU time
# (user + sys) and the speed-up, each the best of RUNS runs (default 3).
# Usage: pack_parallel.sh NATIVE_BUILD_DIR RESULTS_DIR [MB]
set -euo pipefail
tool=$1/tools/setuptool
out=$2/pack_parallel
want=$(( ${3:-100} * 1000000 ))
rm -rf "$out"
mkdir -p "$out/tree"
total=0
n=0
while IFS= read -r f; do
  size=$(stat -c %s "$f")
  cp "$f" "$out/tree/$n-$(basename "$f")"
  total=$((total + size))
  n=$((n + 1))
  [ $total -ge $want ] && break
done < <(find /usr/lib /usr/bin -type f -size +60k -size -2M 2>/dev/null | sort)
cores=$(nproc)
runs=${RUNS:-3}
echo "pack: $n files, $((total / 1000000)) MB, -j 1 against -j $cores, best of $runs, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-6s %10s %10s %10s %10s %8s\n' codec "j1 MB/s" "j$cores MB/s" "j1 cpu s" "j$cores cpu s" speedup
TIMEFORMAT="%R %U %S"
for m in lzss huff lzw; do
  declare -A best=() cpu=()
  # Turn about, keeping each one's fastest run: other work on the machine
  # slows single runs, not the best of several.
  for r in $(seq "$runs"); do
    for j in 1 "$cores"; do
      { time "$tool" pack "$out/p$j.aqj" -j "$j" -m "$m" "$out/tree" 2>/dev/null; } 2>"$out/time"
      read -r w u s <"$out/time"
      if [ -z "${best[$j]:-}" ] || [ "$(echo "$w < ${best[$j]}" | bc)" = 1 ]; then
        best[$j]=$w
        cpu[$j]=$(echo "$u + $s" | bc)
      fi
    done
  done
  cmp -s "$out/p1.aqj" "$out/p$cores.aqj" || { echo "pack_parallel: -j 1 and -j $cores differ for $m"; exit 1; }
  awk -v m=$m -v t=$total -v w1=${best[1]} -v c1=${cpu[1]} -v wn=${best[$cores]} -v cn=${cpu[$cores]} \
    'BEGIN { printf "%-6s %10.1f %10.1f %10.1f %10.1f %7.2fx\n", m, t / 1e6 / w1, t / 1e6 / wn, c1, cn, w1 / wn }'
  unset best cpu
done
echo "load afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"
rm -rf "$out/tree" "$out"/p*.aqj
