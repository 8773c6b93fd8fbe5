# Unattended installation and removal. The medium opts in with
# General/Uninstall=1. Setup.exe /S /LOG= /D= installs with no window and
# logs each action; Uninstall.exe /U /S takes away exactly what it made:
# the files (a file changed since is kept), the folders, the Ini values (a
# file it made goes, a file it only added to is as before), the group, the
# Add/Remove Programs key, and itself. Then the statuses of failures under
# /S, and one removal answered through its question box.
scenario() {
  scenario_begin removal 800x600
  local m="$S_DIR/medium" c="$S_PREFIX/drive_c" w="$S_PREFIX/drive_c/windows"
  local key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Removal Test'
  mkdir -p "$S_DIR/app/bin" "$S_DIR/app/docs/deep"
  printf 'read me' >"$S_DIR/app/readme.txt"
  printf 'a guide' >"$S_DIR/app/docs/deep/guide.txt"
  cp "$build/tests/e2e/e2e_marker.exe" "$S_DIR/app/bin/marker.exe"
  setuptool pack "$m/Setup.aqj" -m lzss -C "$S_DIR/app" .
  printf 'Licence.\r\n' >"$m/License.txt"
  cat >"$m/Setup.ini" <<'INI'
[General]
Title=Removal Test
License=1
Uninstall=1
Destination=C:\Not Used
Run=$(Destination)\bin\marker.exe Installed
[Copy]
0=$(Source)\License.txt#$(Destination)\License.txt
[Ini]
1=$(Windows)	\qjremoval.ini	Removal	Path	$(Destination)
2=$(Windows)	\qjshared.ini	Removal	Path	$(Destination)
3=$(Windows)	\qjshared.ini	Other	Added	1
[Group]
Group=Removal Group
1=Marker	$(Destination)\bin\marker.exe		0
INI
  sed -i 's/$/\r/' "$m/Setup.ini"
  printf '[Other]\r\nKeep=1\r\n' >"$w/qjshared.ini"
  cp "$w/qjshared.ini" "$S_DIR/qjshared.before"
  # The temporary folder is looked at on its own below.
  tree_of() { (cd "$c" && find . -path './users/*/Temp' -prune -o -printf '%p %y\n' | sort); }
  tree_of >"$S_DIR/tree.before"
  programs() { echo "$c"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs; }

  # Silent install: no window, a log, the destination with spaces.
  local dest='C:\Program Files\Removal Test' d="$c/Program Files/Removal Test" rc=0
  (cd "$m" && WINEPREFIX=$S_PREFIX wine Setup.exe /S '/LOG=C:\qjsetup.log' "/D=$dest" >"$S_DIR/silent.out" 2>&1) || rc=$?
  echo "    Setup.exe /S ended with status $rc"
  [ "$rc" -eq 0 ]
  tr -d '\r' <"$c/qjsetup.log" | sed 's/^/    log: /'
  for line in 'Setup 1.1 started: .*/S /LOG=C:.qjsetup.log "/D=C:.Program Files.Removal Test"' \
      'Archive Setup.aqj: 3 members into C:.Program Files.Removal Test' 'Written: .*docs.deep.guide.txt' \
      'Copy .*License.txt to .*License.txt: done' 'Ini .Removal. Path=C:.Program Files.Removal Test in ' \
      'Group Removal Group: made' 'Registry key HKLM.*Removal Test written' 'Run "c:.program files.removal test.bin.marker.exe" installed' \
      'Setup finished: status 0 (done)'; do
    grep -q "$line" "$c/qjsetup.log" || { echo "    log lacks: $line"; return 1; }
  done
  cmp "$S_DIR/app/docs/deep/guide.txt" "$d/docs/deep/guide.txt"
  [ -f "$d/Uninstall.exe" ]
  [ -f "$d/Uninstall.dat" ]
  [ -f "$(programs)/Removal Group/Marker.lnk" ]
  WINEPREFIX=$S_PREFIX wine reg query "$key" >"$S_DIR/key.out" 2>&1
  tr -d '\r' <"$S_DIR/key.out" | sed 's/^/    reg: /'
  grep -q 'UninstallString.*"C:\\Program Files\\Removal Test\\Uninstall.exe" /U' "$S_DIR/key.out"
  grep -q 'EstimatedSize.*REG_DWORD' "$S_DIR/key.out"
  WINEPREFIX=$S_PREFIX wine uninstaller --list 2>/dev/null | tr -d '\r' | grep -q 'Removal Test'

  # A file the user changed after the installation.
  printf 'edited by the user' >"$d/docs/deep/guide.txt"
  rc=0
  WINEPREFIX=$S_PREFIX wine "$d/Uninstall.exe" /U /S '/LOG=C:\qjsetup.log' >"$S_DIR/remove.out" 2>&1 || rc=$?
  echo "    Uninstall.exe /U /S ended with status $rc"
  [ "$rc" -eq 0 ]
  # Its copy in the temporary folder takes Uninstall.exe, then the record,
  # once it has ended.
  for _ in $(seq 1 100); do [ -e "$d/Uninstall.dat" ] || break; sleep 0.1; done
  tr -d '\r' <"$c/qjsetup.log" | sed -n '/Removing/,$p' | sed 's/^/    log: /'
  grep -q 'File kept, changed since the installation: .*guide.txt' "$c/qjsetup.log"
  # Run is not undone: the program it started wrote its own log.
  rm -f "$c/qjsetup.log" "$c/qjmarker.log"
  tree_of >"$S_DIR/tree.after"
  diff "$S_DIR/tree.before" "$S_DIR/tree.after" >"$S_DIR/tree.diff" || true
  sed 's/^/    tree: /' "$S_DIR/tree.diff"
  # Only the kept file and the folders that hold it are left.
  [ "$(grep -c '^>' "$S_DIR/tree.diff")" -eq 4 ]
  [ "$(grep -c '^<' "$S_DIR/tree.diff")" -eq 0 ]
  [ "$(cat "$d/docs/deep/guide.txt")" = 'edited by the user' ]
  # The copy that removed Uninstall.exe cannot delete its own running file:
  # it is marked for deletion at the next restart.
  local copy
  for copy in "$c"/users/*/Temp/~QJRemove*.exe; do
    [ -e "$copy" ] || continue
    WINEPREFIX=$S_PREFIX wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations |
      grep -q "$(basename "$copy")"
  done
  [ ! -e "$w/qjremoval.ini" ]
  cmp "$S_DIR/qjshared.before" "$w/qjshared.ini"
  echo "    Start menu after: $(ls "$(programs)" | tr '\n' ' ')"
  ! WINEPREFIX=$S_PREFIX wine reg query "$key" >/dev/null 2>&1
  rm -rf "$c/Program Files/Removal Test"

  # Failures under /S: a bad switch, a damaged medium, a target that cannot
  # be replaced; nothing is installed, no window shows.
  silent_status() {
    local s=0
    (cd "$m" && WINEPREFIX=$S_PREFIX wine Setup.exe "$@" >>"$S_DIR/silent.out" 2>&1) || s=$?
    echo "$s"
  }
  [ "$(silent_status /S /X '/D=C:\Bad')" -eq 4 ]
  cp "$m/Setup.aqj" "$S_DIR/good.aqj"
  head -c 200 "$S_DIR/good.aqj" >"$m/Setup.aqj"
  [ "$(silent_status /S '/D=C:\Damaged')" -eq 2 ]
  [ ! -e "$c/Damaged" ]
  cp "$S_DIR/good.aqj" "$m/Setup.aqj"
  mkdir -p "$c/Locked"
  printf 'old' >"$c/Locked/readme.txt"
  chmod a-w "$c/Locked/readme.txt"
  [ "$(silent_status /S '/D=C:\Locked')" -eq 3 ]
  [ "$(cat "$c/Locked/readme.txt")" = old ]
  [ ! -e "$c/Locked/bin" ]

  # Interactive removal: the question, Yes, then the closing note.
  [ "$(silent_status /S "/D=$dest")" -eq 0 ]
  WINEPREFIX=$S_PREFIX wine "$d/Uninstall.exe" /U >"$S_DIR/remove2.out" 2>&1 &
  local pid=$!
  drive attach Uninstall.exe wait-window '#32770' Uninstall message-text click 6 >/dev/null
  [ "$(last_line message-text)" = 'Remove Removal Test and all of its components?' ]
  drive attach Uninstall.exe wait-window '#32770' Uninstall message-text click 1 >/dev/null
  [ "$(last_line message-text)" = 'Removal Test has been removed.' ]
  wait "$pid"
  for _ in $(seq 1 100); do [ -e "$d" ] || break; sleep 0.1; done
  [ ! -e "$d" ]
}
