# On a 1024x768 desktop the background window is three quarters of it,
# centred, captioned with Title and painted with the gradient; the Welcome
# dialog names the product twice; Exit leaves with nothing changed.
scenario() {
  scenario_begin background_and_welcome 1024x768
  # The bitmap button's run-time class is registered at start-up, so the
  # program carries it (a static library's unreferenced object would not be).
  grep -q CBmpBtn "$S_DIR/medium/Setup.exe"
  printf '[General]\r\nTitle=Sample Setup\r\nName=Sample\r\n' >"$S_DIR/medium/Setup.ini"
  start_setup
  drive attach Setup.exe \
    wait-control 1001 expect-title "Sample Setup" \
    expect-text 1001 "$(printf 'Welcome to the Sample installation program.\n\nThis will install the Sample software on your computer.')" \
    expect-text 1 "&Continue" expect-text 2 "&Exit" \
    wait-background expect-title "Sample Setup" expect-rect 128 96 768 576 rect
  screenshot welcome
  # The gradient: pure blue on the first client row, and on the last the
  # blue of the last band for this client height.
  read -r _ _ _ _ _ cx cy cw ch <<<"$(last_line rect)"
  local first last want
  first=$(pixel $((cx + cw / 2)) "$cy")
  last=$(pixel $((cx + 20)) $((cy + ch - 1)))
  want=$(gradient_blue "$ch" $((ch - 1)))
  echo "    client ${cw}x${ch}: first row $first, last row $last (want $want)"
  [ "$first" = "0 0 255" ]
  [ "$last" = "$want" ]
  drive attach Setup.exe wait-control 1001 click 2
  wait_setup_exit
  expect_disk_unchanged
}
