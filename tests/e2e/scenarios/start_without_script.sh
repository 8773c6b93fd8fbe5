# Setup.exe alone on a medium: no script means an empty installation, and
# the program ends by itself with status 0.
scenario() {
  scenario_begin start_without_script 800x600
  drive run "$(medium_win_path)\\Setup.exe" expect-exit 0 30000
}
