# The licence step. License=1 with a CRLF License.txt shows the file as it
# is; refusing by its button, Esc or the close box ends the installation
# with nothing changed. It shows only for a non-zero License and an
# existing file: License=1 without the file and License=yes with it go
# straight to Destination. LF-only line ends are shown as they are.
scenario() {
  scenario_begin license 800x600
  local m="$S_DIR/medium" text leave
  printf '[General]\r\nTitle=Sample Setup\r\nName=Sample\r\nLicense=1\r\n' >"$m/Setup.ini"
  printf 'SAMPLE LICENSE\r\n\r\nYou may install this sample.\r\nLine four.\r\n' >"$m/License.txt"
  text=$(cat "$m/License.txt"; printf x)
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 \
    wait-control 1009 expect-title "License Agreement" expect-text 1009 "${text%x}" \
    expect-text 1 "I accept the license agreement" expect-text 2 "I do not accept the license agreement"
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

  printf 'first line\nsecond line\nthird line\n' >"$m/License.txt"
  text=$(cat "$m/License.txt"; printf x)
  printf '[General]\r\nLicense=2\r\n' >"$m/Setup.ini"
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1009 expect-text 1009 "${text%x}"
  screenshot license-lf
  drive attach Setup.exe wait-control 1009 click 2
  wait_setup_exit
  printf '[General]\r\nLicense=yes\r\n' >"$m/Setup.ini"
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 click 2
  wait_setup_exit
  rm "$m/License.txt"
  printf '[General]\r\nLicense=1\r\n' >"$m/Setup.ini"
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 click 2
  wait_setup_exit
}
