# License=1 with a CRLF License.txt: the licence dialog shows the file as it
# is; refusing by its button, Esc or the close box ends the installation
# with nothing changed.
scenario() {
  scenario_begin license 800x600
  printf '[General]\r\nTitle=Sample Setup\r\nName=Sample\r\nLicense=1\r\n' >"$S_DIR/medium/Setup.ini"
  printf 'SAMPLE LICENSE\r\n\r\nYou may install this sample.\r\nLine four.\r\n' >"$S_DIR/medium/License.txt"
  local text
  text=$(cat "$S_DIR/medium/License.txt"; printf x)
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 \
    wait-control 1009 expect-title "License Agreement" expect-text 1009 "${text%x}" \
    expect-text 1 "I accept the license agreement" expect-text 2 "I do not accept the license agreement" \
    check-layout 0 0 0 266 155 check-layout 1 3 138 129 14 check-layout 2 135 138 129 14 \
    check-layout 1009 3 3 261 131
  screenshot license
  drive attach Setup.exe wait-control 1009 click 2
  wait_setup_exit
  for leave in "key 0x1B" close; do
    start_setup
    # shellcheck disable=SC2086
    drive attach Setup.exe wait-control 1001 click 1 wait-control 1009 $leave
    wait_setup_exit
  done
  expect_disk_unchanged
}
