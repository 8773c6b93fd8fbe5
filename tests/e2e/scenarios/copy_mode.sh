# Copy mode: the tree under Copy/From is copied into the destination, files
# and subdirectories alike (one named with a dot too), an empty directory
# is not reproduced, a target in use by another program is left as it is
# while the walk goes on. A relative destination means the folder Setup.exe
# started in, and a destination inside the tree is not copied into itself.
# A missing source tree ends the installation.
scenario() {
  scenario_begin copy_mode 800x600
  local m="$S_DIR/medium" c="$S_PREFIX/drive_c"
  mkdir -p "$m/files/sub/deeper" "$m/files/v1.2" "$m/files/empty/inner"
  for f in one.txt two.txt three.txt sub/four.txt sub/deeper/five.txt v1.2/six.txt; do
    printf 'contents of %s' "$f" >"$m/files/$f"
  done
  printf '[General]\r\nTitle=Copy Setup\r\nCopyMode=1\r\n[Copy]\r\nFrom=files\r\n' >"$m/Setup.ini"
  mkdir -p "$c/CopyDest"
  printf 'protected' >"$c/CopyDest/two.txt"
  # Another program holds two.txt open without sharing it.
  hold_open 'C:\CopyDest\two.txt' 10000
  start_setup
  through_destination 'C:\CopyDest'
  wait_setup_exit
  wait "$S_HOLDER"
  for f in one.txt three.txt sub/four.txt sub/deeper/five.txt v1.2/six.txt; do
    cmp "$m/files/$f" "$c/CopyDest/$f"
  done
  [ "$(cat "$c/CopyDest/two.txt")" = protected ]
  [ ! -e "$c/CopyDest/empty" ]

  start_setup
  through_destination 'Rel'
  wait_setup_exit
  cmp "$m/files/sub/deeper/five.txt" "$m/Rel/sub/deeper/five.txt"
  [ ! -e "$m/files/Rel" ]
  start_setup
  through_destination "$(medium_win_path)\files\inner\copy"
  wait_setup_exit
  cmp "$m/files/sub/four.txt" "$m/files/inner/copy/sub/four.txt"
  [ ! -e "$m/files/inner/copy/inner" ]
  rm -rf "$m/Rel" "$m/files/inner"

  printf '[General]\r\nCopyMode=7\r\n[Copy]\r\nFrom=missing\r\n' >"$m/Setup.ini"
  start_setup
  through_destination 'C:\NoSource'
  wait_setup_exit
  [ ! -e "$c/NoSource" ]
}
