# The Destination dialog: its layout, caption from Title, the destination
# from the script; Exit, Esc and the close box leave it with nothing
# changed; Continue takes what was typed, as $(Destination) shows through an
# Ini entry; a blank folder is refused with a message, a relative one is
# made absolute against the current directory (the medium's folder).
scenario() {
  scenario_begin destination 800x600
  printf '[General]\r\nTitle=Sample Setup\r\nDestination=C:\\Sample\r\n[Ini]\r\n1=C:\\\tdest.ini\tS\tDest\t$(Destination)\r\n' \
    >"$S_DIR/medium/Setup.ini"
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 expect-title "Sample Setup" \
    expect-text 1008 'C:\Sample' expect-text 1 "&Continue" expect-text 2 "&Exit" expect-text 1010 "&Browse...." \
    dump
  grep -q 'text="Please select the directory to install the software to:"' "$S_DIR/driver.out"
  screenshot destination
  drive attach Setup.exe wait-control 1008 click 2
  wait_setup_exit
  for leave in "key 0x1B" close; do
    start_setup
    # shellcheck disable=SC2086
    drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 $leave
    wait_setup_exit
  done
  expect_disk_unchanged
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 type 1008 'C:\Typed Dir\App' click 1
  wait_setup_exit
  expect_destination 'C:\Typed Dir\App'
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 type 1008 '  ' click 1
  [ "$(message_box_text)" = "Please enter the folder to install the software into." ]
  close_message_box
  drive attach Setup.exe wait-control 1008 type 1008 'Rel\App' click 1
  wait_setup_exit
  expect_destination "$(medium_win_path)\Rel\App"
}

# expect_destination DIR: what $(Destination) was when the Ini list ran.
expect_destination() {
  local got
  got=$(tr -d '\r' <"$S_PREFIX/drive_c/dest.ini" | sed -n 's/^Dest=//p')
  echo "    \$(Destination) was \"$got\""
  [ "$got" = "$1" ]
}
