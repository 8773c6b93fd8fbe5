# A whole installation from Welcome to Run: licence accepted, the archive
# into the destination, then the Copy list (macros, a missing source passed
# over), the Del list, Ini entries in the Windows directory (one value with
# a tab), a Program Manager group made by Wine's own server, and Run
# starting a program whose path has spaces (quoted, lower-cased). Then a
# Del entry whose file is missing ends the installation with the
# framework's message ("an unnamed file"); nothing after it happens, the
# background stays until closed. Last, Run of a document starts its
# associated program with the document.
scenario() {
  scenario_begin full_install 800x600
  local m="$S_DIR/medium" c="$S_PREFIX/drive_c" text
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
  ls "$c"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Sample\ Group/Sample\ Tool.lnk
  # Run started the program, its path quoted.
  [ "$(started)" = '"c:\sample app\bin\marker.exe" started from run' ]

  cp "$build/tests/e2e/e2e_marker.exe" "$m/marker.exe"
  cat >"$m/Setup.ini" <<'INI'
[General]
Title=Failing Setup
Run=$(Source)\marker.exe should not run
[Del]
0=$(Windows)\qj-no-such-file.txt
1=$(Windows)\qj-never.txt
[Ini]
1=$(Windows)	\qjfail.ini	S	K	V
INI
  : >"$c/windows/qj-never.txt"
  start_setup
  through_destination 'C:\Fail'
  text=$(message_box_text)
  echo "    message: $text"
  [ "$text" = "an unnamed file was not found." ]
  close_message_box
  drive attach Setup.exe wait-background expect-title "Failing Setup" close
  wait_setup_exit 3
  [ -e "$c/windows/qj-never.txt" ]
  [ ! -e "$c/windows/qjfail.ini" ]
  [ ! -e "$c/qjmarker.log" ]

  # A document: its associated program (our marker) gets it.
  cp "$m/marker.exe" "$c/windows/qjmarker.exe"
  WINEPREFIX=$S_PREFIX wine reg add 'HKCR\.qjdoc' /ve /d QjDocument /f >/dev/null 2>&1
  WINEPREFIX=$S_PREFIX wine reg add 'HKCR\QjDocument\shell\open\command' /ve /d 'C:\windows\qjmarker.exe "%1"' /f \
    >/dev/null 2>&1
  printf 'notes' >"$m/Notes.QJDOC"
  cat >"$m/Setup.ini" <<'INI'
[General]
Run=$(Source)\Notes.QJDOC
INI
  start_setup
  through_destination 'C:\Doc'
  wait_setup_exit
  grep -qi 'notes.qjdoc' <<<"$(started)"
}

# started: what the marker program (started, not waited for) logged.
started() {
  for _ in $(seq 1 50); do [ -s "$c/qjmarker.log" ] && break; sleep 0.1; done
  local log
  log=$(tr -d '\r' <"$c/qjmarker.log")
  echo "    started: $log" >&2
  rm "$c/qjmarker.log"
  echo "$log"
}
