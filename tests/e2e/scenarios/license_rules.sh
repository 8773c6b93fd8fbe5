# The licence step shows only for a non-zero License and an existing file:
# License=1 without License.txt and License=yes with it go straight from
# Welcome to Destination. A licence with LF-only line ends is shown as it
# is (one long line).
scenario() {
  scenario_begin license_rules 800x600
  printf '[General]\r\nLicense=1\r\n' >"$S_DIR/medium/Setup.ini"
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 click 2
  wait_setup_exit
  printf 'Terms\r\n' >"$S_DIR/medium/License.txt"
  printf '[General]\r\nLicense=yes\r\n' >"$S_DIR/medium/Setup.ini"
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 click 2
  wait_setup_exit
  printf '[General]\r\nLicense=2\r\n' >"$S_DIR/medium/Setup.ini"
  printf 'first line\nsecond line\nthird line\n' >"$S_DIR/medium/License.txt"
  local text
  text=$(cat "$S_DIR/medium/License.txt"; printf x)
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1009 expect-text 1009 "${text%x}"
  screenshot license-lf
  drive attach Setup.exe wait-control 1009 click 2
  wait_setup_exit
}
