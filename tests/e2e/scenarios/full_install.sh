# A whole installation and its removal, on one medium that opts in with
# General/Uninstall=1. From Welcome to Run: licence accepted, the archive
# into the destination, then the Copy list (macros, a missing source passed
# over), the Del list, Ini entries in the Windows directory (one value with
# a tab), a Program Manager group made by Wine's own server, and Run
# starting a program whose path has spaces (quoted, lower-cased).
# Uninstall.exe /U /S then takes away exactly what it made: the files (a
# file changed since is kept), the folders, the Ini values (a file it made
# goes, a file it only added to is as before), the group, the Add/Remove
# Programs key, and itself. Setup.exe /S /LOG= /D= installs the same with no
# window and logs each action; the removal is answered through its question
# box. Then the statuses of failures under /S; a Del entry whose file is
# missing ends the installation with the framework's message ("an unnamed
# file"), nothing after it happens, the background stays until closed.
# Last, Run of a document starts its associated program with the document.
scenario() {
  scenario_begin full_install 800x600
  local m="$S_DIR/medium" c="$S_PREFIX/drive_c" w="$S_PREFIX/drive_c/windows"
  local key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sample Setup'
  mkdir -p "$S_DIR/app/bin" "$S_DIR/app/docs/deep"
  printf 'Read me first.\r\n' >"$S_DIR/app/readme.txt"
  printf 'to be deleted' >"$S_DIR/app/obsolete.txt"
  printf 'a guide' >"$S_DIR/app/docs/deep/guide.txt"
  cp "$build/tests/e2e/e2e_marker.exe" "$S_DIR/app/bin/marker.exe"
  setuptool pack "$m/Setup.aqj" -m lzss -C "$S_DIR" app
  printf 'Sample licence.\r\n' >"$m/License.txt"
  printf 'extra file' >"$m/extra.txt"
  cat >"$m/Setup.ini" <<'INI'
[General]
Title=Sample Setup
Name=Sample
License=1
Uninstall=1
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
3=$(Windows)	\qjshared.ini	Removal	Path	$(Destination)
4=$(Windows)	\qjshared.ini	Other	Added	1
[Group]
Group=Sample Group
1=Sample Tool	$(Destination)\bin\marker.exe		0
INI
  sed -i 's/$/\r/' "$m/Setup.ini"
  printf '[Other]\r\nKeep=1\r\n' >"$w/qjshared.ini"
  cp "$w/qjshared.ini" "$S_DIR/qjshared.before"
  # The temporary folder is looked at on its own below.
  tree_of() { (cd "$c" && find . -path './users/*/Temp' -prune -o -printf '%p %y\n' | sort); }
  tree_of >"$S_DIR/tree.before"
  programs() { echo "$c"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs; }
  rm -f "$c/qjmarker.log"
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1009 click 1 \
    wait-control 1008 expect-text 1008 'C:\Sample App' click 1
  wait_setup_exit
  local dest="$c/Sample App"
  cmp "$S_DIR/app/readme.txt" "$dest/readme.txt"
  [ "$(cat "$dest/extra copy.txt")" = "extra file" ]
  [ ! -e "$dest/never.txt" ]
  [ "$(cat "$w/qjextra.txt")" = "extra file" ]
  [ ! -e "$dest/obsolete.txt" ]
  echo "    qjsample.ini:"; tr -d '\r' <"$w/qjsample.ini" | sed 's/^/      /'
  grep -q '^Home=C:\\Sample App' "$w/qjsample.ini"
  grep -q "^Tabbed=a	b" "$w/qjsample.ini"
  # Wine's Program Manager made the group's folder and the item's shortcut.
  [ -f "$(programs)/Sample Group/Sample Tool.lnk" ]
  # Run started the program, its path quoted.
  [ "$(started)" = '"c:\sample app\bin\marker.exe" started from run' ]

  # A file the user changed after the installation.
  printf 'edited by the user' >"$dest/docs/deep/guide.txt"
  local rc=0
  WINEPREFIX=$S_PREFIX wine "$dest/Uninstall.exe" /U /S '/LOG=C:\qjsetup.log' >"$S_DIR/remove.out" 2>&1 || rc=$?
  echo "    Uninstall.exe /U /S ended with status $rc"
  [ "$rc" -eq 0 ]
  # Its copy in the temporary folder takes Uninstall.exe, then the record,
  # once it has ended.
  for _ in $(seq 1 100); do [ -e "$dest/Uninstall.dat" ] || break; sleep 0.1; done
  tr -d '\r' <"$c/qjsetup.log" | sed -n '/Removing/,$p' | sed 's/^/    log: /'
  grep -q 'File kept, changed since the installation: .*guide.txt' "$c/qjsetup.log"
  rm -f "$c/qjsetup.log"
  tree_of >"$S_DIR/tree.after"
  diff "$S_DIR/tree.before" "$S_DIR/tree.after" >"$S_DIR/tree.diff" || true
  sed 's/^/    tree: /' "$S_DIR/tree.diff"
  # Only the kept file and the folders that hold it are left (qjsample.ini,
  # which the installation made, is gone too).
  [ "$(grep -c '^>' "$S_DIR/tree.diff")" -eq 4 ]
  [ "$(grep -c '^<' "$S_DIR/tree.diff")" -eq 0 ]
  [ "$(cat "$dest/docs/deep/guide.txt")" = 'edited by the user' ]
  # The copy that removed Uninstall.exe cannot delete its own running file:
  # it is marked for deletion at the next restart.
  local copy
  for copy in "$c"/users/*/Temp/~QJRemove*.exe; do
    [ -e "$copy" ] || continue
    WINEPREFIX=$S_PREFIX wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations |
      grep -q "$(basename "$copy")"
  done
  cmp "$S_DIR/qjshared.before" "$w/qjshared.ini"
  ! WINEPREFIX=$S_PREFIX wine reg query "$key" >/dev/null 2>&1
  rm -rf "$dest"

  # Silent install: no window, a log, the destination with spaces.
  local d="$c/Program Files/Sample"
  [ "$(silent_setup /S '/LOG=C:\qjsetup.log' '/D=C:\Program Files\Sample')" -eq 0 ]
  tr -d '\r' <"$c/qjsetup.log" | sed 's/^/    log: /'
  for line in 'Setup 1.1 started: .*/S /LOG=C:.qjsetup.log "/D=C:.Program Files.Sample"' \
      'Archive Setup.aqj: 4 members into C:.Program Files.Sample' 'Written: .*docs.deep.guide.txt' \
      'Copy .*extra.txt to .*extra copy.txt: done' 'Ini .Removal. Path=C:.Program Files.Sample in ' \
      'Group Sample Group: made' 'Registry key HKLM.*Sample Setup written' \
      'Run "c:.program files.sample.bin.marker.exe" started from run' 'Setup finished: status 0 (done)'; do
    grep -q "$line" "$c/qjsetup.log" || { echo "    log lacks: $line"; return 1; }
  done
  [ "$(started)" = '"c:\program files\sample\bin\marker.exe" started from run' ]
  WINEPREFIX=$S_PREFIX wine reg query "$key" >"$S_DIR/key.out" 2>&1
  tr -d '\r' <"$S_DIR/key.out" | sed 's/^/    reg: /'
  grep -q 'UninstallString.*"C:\\Program Files\\Sample\\Uninstall.exe" /U' "$S_DIR/key.out"
  grep -q 'EstimatedSize.*REG_DWORD' "$S_DIR/key.out"
  WINEPREFIX=$S_PREFIX wine uninstaller --list 2>/dev/null | tr -d '\r' | grep -q 'Sample Setup'

  # Interactive removal: the question, Yes, then the closing note.
  WINEPREFIX=$S_PREFIX wine "$d/Uninstall.exe" /U >"$S_DIR/remove2.out" 2>&1 &
  local pid=$!
  drive attach Uninstall.exe wait-window '#32770' Uninstall message-text click 6 >/dev/null
  [ "$(last_line message-text)" = 'Remove Sample Setup and all of its components?' ]
  drive attach Uninstall.exe wait-window '#32770' Uninstall message-text click 1 >/dev/null
  [ "$(last_line message-text)" = 'Sample Setup has been removed.' ]
  wait "$pid"
  for _ in $(seq 1 100); do [ -e "$d" ] || break; sleep 0.1; done
  [ ! -e "$d" ]

  # Failures under /S: a bad switch, a damaged medium, a target that cannot
  # be replaced; nothing is installed, no window shows.
  [ "$(silent_setup /S /X '/D=C:\Bad')" -eq 4 ]
  cp "$m/Setup.aqj" "$S_DIR/good.aqj"
  head -c 200 "$S_DIR/good.aqj" >"$m/Setup.aqj"
  [ "$(silent_setup /S '/D=C:\Damaged')" -eq 2 ]
  [ ! -e "$c/Damaged" ]
  cp "$S_DIR/good.aqj" "$m/Setup.aqj"
  mkdir -p "$c/Locked"
  printf 'old' >"$c/Locked/readme.txt"
  chmod a-w "$c/Locked/readme.txt"
  [ "$(silent_setup /S '/D=C:\Locked')" -eq 3 ]
  [ "$(cat "$c/Locked/readme.txt")" = old ]
  [ ! -e "$c/Locked/bin" ]

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
  : >"$w/qj-never.txt"
  start_setup
  through_destination 'C:\Fail'
  [ "$(message_box_text)" = "an unnamed file was not found." ]
  close_message_box
  drive attach Setup.exe wait-background expect-text 0 "Failing Setup" close
  wait_setup_exit 3
  [ -e "$w/qj-never.txt" ]
  [ ! -e "$w/qjfail.ini" ]
  [ ! -e "$c/qjmarker.log" ]

  # A document: its associated program (our marker) gets it.
  cp "$m/marker.exe" "$w/qjmarker.exe"
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
