# A whole installation from Welcome to Run: licence accepted, the archive
# into the destination, then the Copy list (macros, a missing source passed
# over), the Del list, Ini entries in the Windows directory (one value with
# a tab), a Program Manager group made by Wine's own server, and Run
# starting a program whose path has spaces (quoted, lower-cased).
scenario() {
  scenario_begin full_install 800x600
  local m="$S_DIR/medium" c="$S_PREFIX/drive_c"
  mkdir -p "$S_DIR/app/bin"
  printf 'Read me first.\r\n' >"$S_DIR/app/readme.txt"
  printf 'to be deleted' >"$S_DIR/app/obsolete.txt"
  cp "$build/tests/e2e/e2e_marker.exe" "$S_DIR/app/bin/marker.exe"
  setuptool pack "$m/Setup.aqj" -m lzss -C "$S_DIR" app
  printf 'Sample licence.\r\n' >"$m/License.txt"
  printf 'extra file' >"$m/extra.txt"
  cat >"$m/Setup.ini" <<'INI'
[General]
Title=Sample Setup
Name=Sample
License=1
Destination=C:\Sample App
Run=$(Destination)\bin\Marker.exe Started From RUN
[Copy]
0=$(Source)\extra.txt#$(Destination)\extra copy.txt
1=$(Source)\missing.txt#$(Destination)\never.txt
2=$(SOURCE)\extra.txt#$(Windows)\qjextra.txt
[Del]
0=$(Destination)\obsolete.txt
[Ini]
1=$(Windows)	\qjsample.ini	Paths	Home	$(Destination)
2=$(Windows)\	qjsample.ini	Misc	Tabbed	a	b
[Group]
Group=Sample Group
1=Sample Tool	$(Destination)\bin\marker.exe		0
INI
  sed -i 's/$/\r/' "$m/Setup.ini"
  rm -f "$c/qjmarker.log"
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1009 click 1 \
    wait-control 1008 expect-text 1008 'C:\Sample App' click 1
  wait_setup_exit
  local dest="$c/Sample App"
  cmp "$S_DIR/app/readme.txt" "$dest/readme.txt"
  [ "$(cat "$dest/extra copy.txt")" = "extra file" ]
  [ ! -e "$dest/never.txt" ]
  [ "$(cat "$c/windows/qjextra.txt")" = "extra file" ]
  [ ! -e "$dest/obsolete.txt" ]
  echo "    qjsample.ini:"; tr -d '\r' <"$c/windows/qjsample.ini" | sed 's/^/      /'
  grep -q '^Home=C:\\Sample App' "$c/windows/qjsample.ini"
  grep -q "^Tabbed=a	b" "$c/windows/qjsample.ini"
  # Wine's Program Manager made the group's folder and the item's shortcut.
  local programs
  programs=$(echo "$c"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs)
  echo "    Start menu: $(cd "$programs" && find . -path './Sample Group*' | tr '\n' ' ')"
  [ -f "$programs/Sample Group/Sample Tool.lnk" ]
  # Run started the program, its path quoted.
  for _ in $(seq 1 50); do [ -s "$c/qjmarker.log" ] && break; sleep 0.1; done
  echo "    started: $(tr -d '\r' <"$c/qjmarker.log")"
  [ "$(tr -d '\r' <"$c/qjmarker.log")" = '"c:\sample app\bin\marker.exe" started from run' ]
}
