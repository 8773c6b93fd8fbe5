# The wizard on an 800x600 desktop, one way of leaving each dialog:
#  1. no Setup.ini: the background covers the desktop with an empty caption,
#     the Welcome text has an empty name; Esc leaves.
#  2. License=1 and a CRLF License.txt: the Welcome text names the product,
#     the licence shows as it is; "I do not accept" leaves.
#  3. License=yes: straight to Destination, captioned with Title and showing
#     Destination. A blank folder is refused; a relative one is made
#     absolute against the medium's folder, as $(Destination) shows through
#     an Ini entry.
#  4. License=1 without the file: straight to Destination. The folder
#     picker opens at C:\Program Files with the name and type fields hidden,
#     "Select" beside Cancel and the list down to the buttons, modal to
#     Destination; a double-clicked folder is opened and Select returns it,
#     a highlighted one is not; Cancel keeps what was typed. The close box
#     leaves. Leaving changes nothing on disk.
scenario() {
  scenario_begin wizard 800x600
  local m="$S_DIR/medium" text
  # The bitmap button's run-time class is registered at start-up, so the
  # program carries it (a static library's unreferenced object would not be).
  grep -q CBmpBtn "$m/Setup.exe"
  start_setup
  drive attach Setup.exe wait-control 1001 expect-text 0 "" \
    expect-text 1001 "$(printf 'Welcome to the  installation program.\n\nThis will install the  software on your computer.')" \
    wait-background expect-text 0 "" rect 0
  [[ "$(last_line rect)" == "0 0 800 600 "* ]]
  screenshot welcome-without-script
  drive attach Setup.exe wait-control 1001 key 0x1B
  wait_setup_exit 1
  expect_disk_unchanged

  printf '[General]\r\nTitle=Sample Setup\r\nName=Sample\r\nLicense=1\r\n' >"$m/Setup.ini"
  printf 'SAMPLE LICENSE\r\n\r\nYou may install this sample.\r\nLine four.\r\n' >"$m/License.txt"
  text=$(cat "$m/License.txt"; printf x)
  start_setup
  drive attach Setup.exe wait-control 1001 expect-text 0 "Sample Setup" \
    expect-text 1001 "$(printf 'Welcome to the Sample installation program.\n\nThis will install the Sample software on your computer.')" \
    wait-background expect-text 0 "Sample Setup" wait-control 1001 click 1 \
    wait-control 1009 expect-text 0 "License Agreement" expect-text 1009 "${text%x}"
  screenshot license
  drive attach Setup.exe wait-control 1009 click 2
  wait_setup_exit 1
  expect_disk_unchanged

  printf '[General]\r\nTitle=Sample Setup\r\nLicense=yes\r\nDestination=C:\\Sample\r\n%b\r\n' \
    '[Ini]\r\n1=C:\\\tdest.ini\tS\tDest\t$(Destination)' >"$m/Setup.ini"
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 expect-text 0 "Sample Setup" \
    expect-text 1008 'C:\Sample' type 1008 '  ' click 1
  screenshot destination
  [ "$(message_box_text)" = "Please enter the folder to install the software into." ]
  close_message_box
  drive attach Setup.exe wait-control 1008 type 1008 'Rel\App' click 1
  wait_setup_exit
  text=$(tr -d '\r' <"$S_PREFIX/drive_c/dest.ini" | sed -n 's/^Dest=//p')
  echo "    \$(Destination) was \"$text\""
  [ "$text" = "Z:${m//\//\\}\Rel\App" ]

  rm "$m/License.txt"
  mkdir -p "$S_PREFIX/drive_c/Program Files/AAA Pick/Inner"
  printf '[General]\r\nLicense=1\r\n' >"$m/Setup.ini"
  start_setup
  local picker=(wait-window "#32770" "Select Application Folder")
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 click 1010 \
    "${picker[@]}" wait-control 1008 expect-enabled 0 \
    "${picker[@]}" expect-text 1 "Select" expect-hidden 1090 expect-hidden 1136 expect-hidden 1089 \
    rect 2 rect 1 rect 1121
  screenshot picker
  local cl ct ol ot ow ll lt lh
  { read -r cl ct _ _ _; read -r ol ot ow _ _; read -r ll lt _ lh _; } \
    < <(sed -n 's/^rect //p' "$S_DIR/driver.out" | tr -d '\r')
  echo "    Cancel at $cl,$ct; Select top $ot right $((ol + ow)); list at $ll,$lt bottom $((lt + lh))"
  (( ot == ct && ol + ow == cl - 4 && lt + lh == ct - 4 ))
  # The first folder of the list is "AAA Pick".
  xdotool mousemove --sync $((ll + 30)) $((lt + 10)) click --repeat 2 --delay 120 1
  sleep 1
  drive attach Setup.exe "${picker[@]}" click 1 wait-gone \
    wait-control 1008 expect-enabled 1 expect-text 1008 'C:\Program Files\AAA Pick' click 1010 "${picker[@]}"
  # "Inner" highlighted, not opened: Select returns the folder shown.
  xdotool mousemove --sync $((ll + 30)) $((lt + 10)) click 1
  sleep 0.5
  drive attach Setup.exe "${picker[@]}" click 1 wait-control 1008 expect-text 1008 'C:\Program Files' \
    type 1008 'D:\Typed' click 1010 "${picker[@]}" click 2 wait-control 1008 expect-text 1008 'D:\Typed' \
    close
  wait_setup_exit 1
  expect_disk_unchanged
}
