# Copy mode (any non-zero CopyMode): the tree under Copy/From is copied into
# the destination, files and subdirectories alike (one named with a dot
# too), an empty directory is not reproduced, a target in use by another
# program is left as it is while the walk goes on. (Relative and nested
# destinations and a missing tree: the unit tests' TreeCopy.)
scenario() {
  scenario_begin copy_mode 800x600
  local m="$S_DIR/medium" c="$S_PREFIX/drive_c"
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
}
