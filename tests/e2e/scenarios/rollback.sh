# The archive phase is all or nothing. A destination on a 1 MB drive (Q:)
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
  scenario_begin rollback 800x600
  local m="$S_DIR/medium" c="$S_PREFIX/drive_c" w="$S_PREFIX/drive_c/windows" text
  mkdir -p "$S_DIR/small"
  if ! mount -t tmpfs -o size=1m qjsetup-small "$S_DIR/small" 2>/dev/null; then
    echo "    SKIP: cannot mount a small filesystem here"
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
