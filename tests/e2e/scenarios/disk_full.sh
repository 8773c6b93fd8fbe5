# The archive phase is all or nothing. A destination on a 1 MB drive (Q:)
# with more to install than that is refused before anything is written,
# with the space message. Then Setup.aqj into C:\Dest (one target already
# there) and a Windows.aqj whose second member fails: its folder is the
# full drive (disk full in the middle of the second archive), or its target
# is held open by another program. Each time the user sees the file error
# naming the target, and afterwards the first archive's files are gone, the
# existing target holds its old bytes, and nothing is left on Q:.
scenario() {
  scenario_begin disk_full 800x600
  local m="$S_DIR/medium" c="$S_PREFIX/drive_c" w="$S_PREFIX/drive_c/windows"
  mkdir -p "$S_DIR/small"
  if ! mount -t tmpfs -o size=1m qjsetup-small "$S_DIR/small" 2>/dev/null; then
    echo "    SKIP: cannot mount a small filesystem here"
    return 0
  fi
  QJ_MOUNTS+=("$S_DIR/small")
  ln -sfn "$S_DIR/small" "$S_PREFIX/dosdevices/q:"
  mkdir -p "$S_DIR/big" "$S_DIR/setup/new" "$S_DIR/win/QjFull"
  head -c 3000000 /dev/urandom >"$S_DIR/big/big.bin"
  setuptool pack "$m/Setup.aqj" -m lzss -C "$S_DIR" big
  printf '[General]\r\nTitle=Full Setup\r\n' >"$m/Setup.ini"
  start_setup
  through_destination 'Q:\Full'
  local text
  text=$(message_box_text)
  echo "    message: $text"
  case "$text" in
    "There is not enough space on Q: to install Full Setup: 3 MB are needed and "[01]" MB are free. Nothing has been installed.") ;;
    *) echo "    unexpected message"; return 1 ;;
  esac
  close_message_box
  wait_setup_exit
  [ -z "$(ls -A "$S_DIR/small")" ]

  # The second archive's folder QjFull is the small drive: the space check
  # sees drive C:, the writes fill Q:.
  printf 'new keep' >"$S_DIR/setup/keep.txt"
  printf 'made here' >"$S_DIR/setup/new/one.txt"
  printf 'first of two' >"$S_DIR/win/qjfirst.txt"
  cp "$S_DIR/big/big.bin" "$S_DIR/win/QjFull/big.bin"
  setuptool pack "$m/Setup.aqj" -m lzss -C "$S_DIR/setup" keep.txt new/one.txt
  setuptool pack "$m/Windows.aqj" -m lzw -C "$S_DIR/win" qjfirst.txt QjFull/big.bin
  mkdir -p "$c/Dest"
  printf 'old keep' >"$c/Dest/keep.txt"
  ln -sfn "$S_DIR/small" "$w/QjFull"
  start_setup
  through_destination 'C:\Dest'
  text=$(message_box_text)
  echo "    message: $text"
  screenshot disk-full
  # The progress dialog under the message: what the user saw last.
  drive attach Setup.exe wait-window "#32770" Setup move 20 400 wait-control 1004 expect-text 1004 'QjFull\big.bin'
  screenshot progress
  [ "$text" = 'Disk full while accessing C:\windows\QjFull\big.bin.' ]
  close_message_box
  wait_setup_exit
  expect_rolled_back
  rm "$w/QjFull"

  # The same with a target in use by another program.
  setuptool pack "$m/Windows.aqj" -m huff -C "$S_DIR/win" qjfirst.txt QjFull/big.bin
  mkdir -p "$w/QjFull"
  printf 'held' >"$w/QjFull/big.bin"
  hold_open 'C:\windows\QjFull\big.bin' 15000
  start_setup
  through_destination 'C:\Dest'
  text=$(message_box_text)
  echo "    message: $text"
  [ "$text" = 'A sharing violation occurred while accessing C:\windows\QjFull\big.bin.' ]
  close_message_box
  wait_setup_exit
  wait "$S_HOLDER" || true
  expect_rolled_back
  [ "$(cat "$w/QjFull/big.bin")" = held ]
}

# What a failed phase must leave: the old target, nothing new anywhere.
expect_rolled_back() {
  local c="$S_PREFIX/drive_c"
  [ "$(cat "$c/Dest/keep.txt")" = 'old keep' ]
  [ "$(ls -A "$c/Dest")" = keep.txt ]
  [ ! -e "$c/windows/qjfirst.txt" ]
  [ -z "$(ls -A "$S_DIR/small")" ]
  if ls "$c/windows" | grep -qi '^~qj'; then echo "    staged files left"; return 1; fi
}
