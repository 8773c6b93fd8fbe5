# The folder picker: it opens at C:\Program Files with the name and type
# fields hidden, "Select" beside Cancel and the list down to the buttons.
# Double-clicking a folder opens it, Select returns it into the edit box.
# Highlighting a folder without opening it and pressing Select returns the
# folder shown; Cancel leaves what was typed.
scenario() {
  scenario_begin browse 800x600
  mkdir -p "$S_PREFIX/drive_c/Program Files/AAA Pick/Inner"
  printf '[General]\r\nTitle=Sample Setup\r\nDestination=C:\\Sample\r\n' >"$S_DIR/medium/Setup.ini"
  start_setup
  # The picker is modal to Destination: Destination is disabled under it.
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 click 1010 \
    wait-window "#32770" "Select Application Folder" wait-control 1008 expect-disabled \
    wait-window "#32770" "Select Application Folder" expect-text 1 "Select" \
    expect-hidden 1090 expect-hidden 1136 expect-hidden 1089 \
    control-rect 2 control-rect 1 control-rect 1121
  screenshot picker
  local cancel ok list
  cancel=$(sed -n 's/^control-rect //p' "$S_DIR/driver.out" | tr -d '\r' | sed -n 1p)
  ok=$(sed -n 's/^control-rect //p' "$S_DIR/driver.out" | tr -d '\r' | sed -n 2p)
  list=$(sed -n 's/^control-rect //p' "$S_DIR/driver.out" | tr -d '\r' | sed -n 3p)
  read -r cl ct _ _ <<<"$cancel"
  read -r _ ot orr _ <<<"$ok"
  read -r ll lt _ lb <<<"$list"
  echo "    Cancel at $cancel, Select at $ok, list at $list"
  [ "$ot" -eq "$ct" ]
  [ "$orr" -eq $((cl - 4)) ]
  [ "$lb" -eq $((ct - 4)) ]
  # The first folder of the list is "AAA Pick": open it with a double click.
  double_click $((ll + 30)) $((lt + 10))
  sleep 1
  screenshot picker-opened
  drive attach Setup.exe wait-window "#32770" "Select Application Folder" click 1 wait-gone \
    wait-control 1008 expect-enabled expect-text 1008 'C:\Program Files\AAA Pick'
  screenshot destination-picked
  # Highlight "Inner" without opening it: Select returns the folder shown.
  drive attach Setup.exe wait-control 1008 click 1010 wait-window "#32770" "Select Application Folder"
  xdotool mousemove --sync $((ll + 30)) $((lt + 10)) click 1
  sleep 0.5
  drive attach Setup.exe wait-window "#32770" "Select Application Folder" click 1 \
    wait-control 1008 expect-text 1008 'C:\Program Files'
  # Cancel keeps what was typed, and Continue takes it.
  drive attach Setup.exe wait-control 1008 type 1008 'D:\Typed' click 1010 \
    wait-window "#32770" "Select Application Folder" click 2 \
    wait-control 1008 expect-text 1008 'D:\Typed' click 1
  wait_setup_exit
}
