# Only Windows.aqj on the medium: the Windows directory receives its
# members and the chosen destination nothing at all.
scenario() {
  scenario_begin archive_only_windows 800x600
  mkdir -p "$S_DIR/win"
  printf 'windows file' >"$S_DIR/win/only.txt"
  setuptool pack "$S_DIR/medium/Windows.aqj" -m lzw -C "$S_DIR" win
  start_setup
  through_destination 'C:\Untouched'
  wait_setup_exit
  [ "$(cat "$S_PREFIX/drive_c/windows/only.txt")" = "windows file" ]
  [ ! -e "$S_PREFIX/drive_c/Untouched" ]
}
