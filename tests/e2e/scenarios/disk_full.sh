# A destination on a 1 MB drive and an archive bigger than that: the user
# sees the disk-full message naming the target, and the program ends when
# it is closed.
scenario() {
  scenario_begin disk_full 800x600
  mkdir -p "$S_DIR/small"
  if ! mount -t tmpfs -o size=1m qjsetup-small "$S_DIR/small" 2>/dev/null; then
    echo "    SKIP: cannot mount a small filesystem here"
    return 0
  fi
  QJ_MOUNTS+=("$S_DIR/small")
  ln -sfn "$S_DIR/small" "$S_PREFIX/dosdevices/q:"
  mkdir -p "$S_DIR/big"
  head -c 3000000 /dev/urandom >"$S_DIR/big/big.bin"
  setuptool pack "$S_DIR/medium/Setup.aqj" -m lzss -C "$S_DIR" big
  printf '[General]\r\nTitle=Full Setup\r\n' >"$S_DIR/medium/Setup.ini"
  start_setup
  through_destination 'Q:\Full'
  local text
  text=$(message_box_text)
  echo "    message: $text"
  screenshot disk-full
  # The progress dialog under the message: what the user saw last.
  drive attach Setup.exe wait-window "#32770" Setup move 20 400 wait-control 1004 expect-text 1004 'big.bin' \
    check-layout 0 0 0 186 43 check-layout 1004 21 5 162 9 check-layout 1006 4 30 179 9
  screenshot progress
  [ "$text" = 'Disk full while accessing Q:\Full\big.bin.' ]
  close_message_box
  wait_setup_exit
}
