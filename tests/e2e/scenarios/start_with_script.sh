# Setup.exe beside a Setup.ini: the script is read, the program ends by
# itself with status 0.
scenario() {
  scenario_begin start_with_script 1024x768
  printf '[General]\r\nTitle=Sample Setup\r\nName=Sample\r\n' >"$S_DIR/medium/Setup.ini"
  drive run "$(medium_win_path)\\Setup.exe" expect-exit 0 30000
}
