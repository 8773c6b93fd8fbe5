# Shared by the callgrind measurements: sourced with name=NAME set and the
# arguments NATIVE_BUILD_DIR RESULTS_DIR. Sets build, tool, out (emptied),
# size and src (an executable to take the first size bytes of), and
# defines count; exits quietly when valgrind or an executable is missing.
build=$1
out=$2/$name
tool=$build/tools/setuptool
size=204800
if ! command -v valgrind >/dev/null; then
  echo "$name: valgrind not found, skipped"
  exit 0
fi
src=
for f in /usr/bin/bash /bin/bash /usr/bin/ls; do
  if [ -r "$f" ]; then src=$f; break; fi
done
if [ -z "$src" ]; then
  echo "$name: no executable to measure on, skipped"
  exit 0
fi
rm -rf "$out"
mkdir -p "$out"

# Total instructions of one command under callgrind.
count() {
  local log=$out/callgrind.log
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" >/dev/null 2>"$log"
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$log" | tail -1
}
