# The three archives, each with its own codec, into the destination (typed
# with a trailing backslash), the Windows and the system directory of the
# prefix: subdirectories made, empty members, an existing target replaced.
# Then only a Windows.aqj: the destination receives nothing. Copy mode (any
# non-zero CopyMode): the tree under Copy/From is copied into the
# destination, files and subdirectories alike (one named with a dot too),
# an empty directory is not reproduced, a target in use by another program
# is left as it is while the walk goes on (relative and nested destinations
# and a missing tree: the unit tests' TreeCopy). Last,
# a member of 1 GiB of zeros (LZSS) installed with a peak working set under
# 32 MB: members stream through bounded buffers.
scenario() {
  scenario_begin archives 800x600
  local m="$S_DIR/medium" c="$S_PREFIX/drive_c"
  mkdir -p "$S_DIR/tree/a/b" "$S_DIR/win" "$S_DIR/sys"
  printf 'top level\r\n' >"$S_DIR/tree/readme.txt"
  printf 'deep' >"$S_DIR/tree/a/b/c.txt"
  : >"$S_DIR/tree/a/empty.dat"
  head -c 300000 /usr/bin/bash >"$S_DIR/tree/a/program.bin"
  printf '[win]\r\n' >"$S_DIR/win/qjtest.ini"
  head -c 5000 /dev/urandom >"$S_DIR/sys/qjtest.dll"
  setuptool pack "$m/Setup.aqj" -m lzw -C "$S_DIR" tree
  setuptool pack "$m/Windows.aqj" -m huff -C "$S_DIR" win
  setuptool pack "$m/System.aqj" -m lzss -C "$S_DIR" sys
  printf '[General]\r\nTitle=Archive Setup\r\n' >"$m/Setup.ini"
  mkdir -p "$c/Dest"
  printf 'an older and longer readme\r\n' >"$c/Dest/readme.txt"
  start_setup
  through_destination 'C:\Dest\'
  wait_setup_exit
  cmp "$S_DIR/tree/readme.txt" "$c/Dest/readme.txt"
  cmp "$S_DIR/tree/a/b/c.txt" "$c/Dest/a/b/c.txt"
  cmp "$S_DIR/tree/a/program.bin" "$c/Dest/a/program.bin"
  [ -f "$c/Dest/a/empty.dat" ]
  [ ! -s "$c/Dest/a/empty.dat" ]
  cmp "$S_DIR/win/qjtest.ini" "$c/windows/qjtest.ini"
  cmp "$S_DIR/sys/qjtest.dll" "$c/windows/system32/qjtest.dll"

  rm "$m/Setup.aqj" "$m/System.aqj"
  printf 'windows file' >"$S_DIR/win/only.txt"
  setuptool pack "$m/Windows.aqj" -m lzw -C "$S_DIR" win
  start_setup
  through_destination 'C:\Untouched'
  wait_setup_exit
  [ "$(cat "$c/windows/only.txt")" = "windows file" ]
  [ ! -e "$c/Untouched" ]

  rm "$m/Windows.aqj"
  mkdir -p "$m/files/sub/deeper" "$m/files/v1.2" "$m/files/empty/inner"
  for f in one.txt two.txt three.txt sub/four.txt sub/deeper/five.txt v1.2/six.txt; do
    printf 'contents of %s' "$f" >"$m/files/$f"
  done
  printf '[General]\r\nTitle=Copy Setup\r\nCopyMode=7\r\n[Copy]\r\nFrom=files\r\n' >"$m/Setup.ini"
  mkdir -p "$c/CopyDest"
  printf 'protected' >"$c/CopyDest/two.txt"
  # Another program holds two.txt open without sharing it.
  hold_open 'C:\CopyDest\two.txt' 60000
  start_setup
  through_destination 'C:\CopyDest'
  wait_setup_exit
  kill "$S_HOLDER"
  for f in one.txt three.txt sub/four.txt sub/deeper/five.txt v1.2/six.txt; do
    cmp "$m/files/$f" "$c/CopyDest/$f"
  done
  [ "$(cat "$c/CopyDest/two.txt")" = protected ]
  [ ! -e "$c/CopyDest/empty" ]

  # The archive (128 MB) is made once and kept beside the scenarios; the
  # destination is a RAM drive when one can be mounted.
  local zeros="$work/zeros-1g-lzss.aqj" d='C:\Zeros' out="$c/Zeros"
  if [ ! -f "$zeros" ]; then
    mkdir -p "$S_DIR/zeros"
    truncate -s 1G "$S_DIR/zeros/zeros.bin"
    setuptool pack "$zeros.part" -m lzss -C "$S_DIR/zeros" zeros.bin
    mv "$zeros.part" "$zeros"
    rm -rf "$S_DIR/zeros"
  fi
  mkdir -p "$S_DIR/ram"
  if mount -t tmpfs -o size=1100m qjsetup-ram "$S_DIR/ram" 2>/dev/null; then
    QJ_MOUNTS+=("$S_DIR/ram")
    ln -sfn "$S_DIR/ram" "$S_PREFIX/dosdevices/r:"
    d='R:\Zeros' out="$S_DIR/ram/Zeros"
  fi
  ln -sf "$zeros" "$m/Setup.aqj"
  # A Del entry that fails holds the program at its message box after the
  # file phase, so that its peak can be read.
  printf '[General]\r\nTitle=Zeros\r\n[Del]\r\n0=C:\\qj-not-there.txt\r\n' >"$m/Setup.ini"
  start_setup
  through_destination "$d"
  message_box_text >/dev/null
  local peak
  peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$S_SETUP_PID/status")
  echo "    $(tr '\0' ' ' <"/proc/$S_SETUP_PID/cmdline" | sed 's/ *$//'): peak resident ${peak} kB"
  close_message_box
  drive attach Setup.exe wait-background expect-text 0 Zeros close
  wait_setup_exit 3
  [ "$(stat -c %s "$out/zeros.bin")" -eq 1073741824 ]
  cmp -n 1073741824 "$out/zeros.bin" /dev/zero
  rm -rf "$out"
  [ "$peak" -lt 32768 ]
}
