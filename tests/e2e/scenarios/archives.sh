# The three archives, each with its own codec, into the destination (typed
# with a trailing backslash), the Windows and the system directory of the
# prefix: subdirectories made, empty members, an existing target replaced.
# Then only a Windows.aqj: the destination receives nothing. Copy mode (any
# non-zero CopyMode): the tree under Copy/From is copied into the
# destination, files and subdirectories alike (one named with a dot too),
# an empty directory is not reproduced, a target in use by another program
# is left as it is while the walk goes on (relative and nested destinations
# and a missing tree: the unit tests' TreeCopy). Then a member of 1 GiB of
# zeros (LZSS) installed with a peak working set under 32 MB: members
# stream through bounded buffers.
# Last, the archive phase is all or nothing. A destination on a 1 MB drive (Q:)
# with more to install than that is refused before anything is written,
# with the space message. Then Setup.aqj into C:\Dest (one target already
# there) and a Windows.aqj that fails: its second member's folder is the
# full drive (disk full in the middle of the second archive), that target
# is held open by another program, the archive is cut short (found before
# any write), or its last member's coded data is damaged (found while
# staging). Each time the user sees the message, and once it is closed the
# program has ended, the first archive's files are gone, the existing
# targets hold their old bytes, and nothing is left on Q:.
scenario() {
  scenario_begin archives 800x600
  local m="$S_DIR/medium" c="$S_PREFIX/drive_c" w="$S_PREFIX/drive_c/windows" text
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

  # The rollback cases start from a medium and a C:\Dest of their own.
  rm -rf "$m"/*.aqj "$c/Dest"
  mkdir -p "$S_DIR/small"
  if ! mount -t tmpfs -o size=1m qjsetup-small "$S_DIR/small" 2>/dev/null; then
    echo "    SKIP the rollback cases: cannot mount a small filesystem here"
    return 0
  fi
  QJ_MOUNTS+=("$S_DIR/small")
  ln -sfn "$S_DIR/small" "$S_PREFIX/dosdevices/q:"
  mkdir -p "$S_DIR/setup/new" "$S_DIR/win/QjFull"
  head -c 3000000 /dev/urandom >"$S_DIR/win/QjFull/big.bin"
  setuptool pack "$m/Setup.aqj" -m lzss -C "$S_DIR/win" QjFull/big.bin
  printf '[General]\r\nTitle=Full Setup\r\n' >"$m/Setup.ini"
  start_setup
  through_destination 'Q:\Full'
  text=$(message_box_text)
  [[ $text == "There is not enough space on Q: to install Full Setup: 3 MB are needed and "[01]\
" MB are free. Nothing has been installed." ]]
  close_message_box
  wait_setup_exit 2
  [ -z "$(ls -A "$S_DIR/small")" ]
  # Unattended, the same lack of space is status 2, with no message box.
  [ "$(silent_setup /S '/D=Q:\Full')" -eq 2 ]
  [ -z "$(ls -A "$S_DIR/small")" ]

  # The second archive's folder QjFull is the small drive: the space check
  # sees drive C:, the writes fill Q:.
  printf 'new keep' >"$S_DIR/setup/keep.txt"
  printf 'made here' >"$S_DIR/setup/new/one.txt"
  printf 'first of two' >"$S_DIR/win/qjfirst.txt"
  printf 'the last member of the archive' >"$S_DIR/win/last.txt"
  setuptool pack "$m/Setup.aqj" -m lzss -C "$S_DIR/setup" keep.txt new/one.txt
  setuptool pack "$m/Windows.aqj" -m lzw -C "$S_DIR/win" qjfirst.txt QjFull/big.bin
  mkdir -p "$c/Dest"
  printf 'old keep' >"$c/Dest/keep.txt"
  ln -sfn "$S_DIR/small" "$w/QjFull"
  expect_failure 3 'Disk full while accessing C:\windows\QjFull\big.bin.' 'QjFull\big.bin'
  rm "$w/QjFull"

  setuptool pack "$m/Windows.aqj" -m huff -C "$S_DIR/win" qjfirst.txt QjFull/big.bin
  mkdir -p "$w/QjFull"
  printf 'held' >"$w/QjFull/big.bin"
  hold_open 'C:\windows\QjFull\big.bin' 60000
  expect_failure 3 'A sharing violation occurred while accessing C:\windows\QjFull\big.bin.'
  kill "$S_HOLDER"

  setuptool pack "$S_DIR/Windows.good" -m lzw -C "$S_DIR/win" qjfirst.txt last.txt
  head -c -9 "$S_DIR/Windows.good" >"$m/Windows.aqj"
  expect_failure 2 'The file Windows.aqj is damaged (*). Nothing has been installed.'
  local size dir
  size=$(stat -c %s "$S_DIR/Windows.good")
  dir=$(od -An -tu4 -j $((size - 4)) -N4 "$S_DIR/Windows.good" | tr -d ' ')
  cp "$S_DIR/Windows.good" "$m/Windows.aqj"
  printf '\377\377\377\377\377\377' | dd of="$m/Windows.aqj" bs=1 seek=$((dir - 6)) conv=notrunc status=none
  expect_failure 2 'The file Windows.aqj is damaged (*). Nothing has been installed.' 'last.txt'
}

# expect_failure STATUS PATTERN [SHOWN]: an installation into C:\Dest ends
# with a message matching PATTERN, the progress dialog under it showing
# SHOWN, and the exit status STATUS, and leaves the disk as it was.
expect_failure() {
  local status=$1
  shift
  start_setup
  through_destination 'C:\Dest'
  local text
  text=$(message_box_text)
  # shellcheck disable=SC2254
  case "$text" in ${1//\\/\\\\}) ;; *) echo "    unexpected message"; return 1 ;; esac
  if [ -n "${2:-}" ]; then
    drive attach Setup.exe wait-control 1004 expect-text 1004 "$2"
    screenshot "progress-${2//\\/-}"
  fi
  close_message_box
  wait_setup_exit "$status"
  [ "$(cat "$c/Dest/keep.txt")" = 'old keep' ]
  [ "$(ls -A "$c/Dest")" = keep.txt ]
  [ ! -e "$w/qjfirst.txt" ]
  [ -z "$(ls -A "$S_DIR/small")" ]
  [ ! -e "$w/QjFull/big.bin" ] || [ "$(cat "$w/QjFull/big.bin")" = held ]
  if ls "$w" | grep -qi '^~qj'; then echo "    staged files left"; return 1; fi
}
