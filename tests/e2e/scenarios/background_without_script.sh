# Without Setup.ini, on an 800x600 desktop: the background covers the
# desktop with an empty caption; the Welcome text has an empty name (two
# spaces) and no caption; Esc and the close box leave it.
scenario() {
  scenario_begin background_without_script 800x600
  start_setup
  drive attach Setup.exe wait-control 1001 expect-title "" \
    expect-text 1001 "$(printf 'Welcome to the  installation program.\n\nThis will install the  software on your computer.')" \
    wait-background expect-title "" expect-rect 0 0 800 600
  screenshot welcome-without-script
  drive attach Setup.exe wait-control 1001 key 0x1B
  wait_setup_exit
  start_setup
  drive attach Setup.exe wait-control 1001 close
  wait_setup_exit
  expect_disk_unchanged
}
