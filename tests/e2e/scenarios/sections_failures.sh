# A Del entry whose file is missing ends the installation with the
# framework's message ("an unnamed file"); nothing after it happens, the
# background stays until closed. Run of a document starts its associated
# program with the document.
scenario() {
  scenario_begin sections_failures 800x600
  local m="$S_DIR/medium" c="$S_PREFIX/drive_c"
  cp "$build/tests/e2e/e2e_marker.exe" "$m/marker.exe"
  cat >"$m/Setup.ini" <<'INI'
[General]
Title=Failing Setup
Destination=C:\Fail
Run=$(Source)\marker.exe should not run
[Copy]
0=$(Source)\marker.exe#$(Windows)\qjmarker.exe
[Del]
0=$(Windows)\qjmarker.exe
1=$(Windows)\qj-no-such-file.txt
2=$(Windows)\qj-never.txt
[Ini]
1=$(Windows)	\qjfail.ini	S	K	V
INI
  sed -i 's/$/\r/' "$m/Setup.ini"
  : >"$c/windows/qj-never.txt"
  rm -f "$c/qjmarker.log"
  start_setup
  through_destination 'C:\Fail'
  local text
  text=$(message_box_text)
  echo "    message: $text"
  [ "$text" = "an unnamed file was not found." ]
  close_message_box
  drive attach Setup.exe wait-background expect-title "Failing Setup" close
  wait_setup_exit
  [ ! -e "$c/windows/qjmarker.exe" ]
  [ -e "$c/windows/qj-never.txt" ]
  [ ! -e "$c/windows/qjfail.ini" ]
  [ ! -e "$c/qjmarker.log" ]

  # A document: its associated program (our marker) gets it.
  cp "$build/tests/e2e/e2e_marker.exe" "$c/windows/qjmarker.exe"
  WINEPREFIX=$S_PREFIX wine reg add 'HKCR\.qjdoc' /ve /d QjDocument /f >/dev/null 2>&1
  WINEPREFIX=$S_PREFIX wine reg add 'HKCR\QjDocument\shell\open\command' /ve /d 'C:\windows\qjmarker.exe "%1"' /f \
    >/dev/null 2>&1
  printf 'notes' >"$m/Notes.QJDOC"
  cat >"$m/Setup.ini" <<'INI'
[General]
Destination=C:\Doc
Run=$(Source)\Notes.QJDOC
INI
  sed -i 's/$/\r/' "$m/Setup.ini"
  start_setup
  through_destination 'C:\Doc'
  wait_setup_exit
  for _ in $(seq 1 50); do [ -s "$c/qjmarker.log" ] && break; sleep 0.1; done
  echo "    started: $(tr -d '\r' <"$c/qjmarker.log")"
  grep -qi 'notes.qjdoc' "$c/qjmarker.log"
}
