# Shared by scripts/test, scripts/demo and the e2e runner: an X server and
# Wine prefixes of our own, and their clean-up (only what we started).

export WINEDEBUG=-all
export WINEARCH=win32
# No Mono/Gecko install dialogs in fresh prefixes.
export WINEDLLOVERRIDES="mscoree,mshtml="

QJ_XVFB_PIDS=()
QJ_PREFIXES=()
QJ_MOUNTS=()

# Starts an Xvfb of the given size on a free display; sets DISPLAY.
qj_start_x() {
  local size=${1:-1024x768} fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  QJ_XVFB_PIDS+=("$!")
  local i
  for i in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

# Boots a prefix with a virtual desktop of the given size (Wine then draws
# the frames itself, and every program of the prefix sees the same windows).
qj_boot_prefix() {
  local prefix=$1 size=${2:-800x600}
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  WINEPREFIX=$prefix wineboot -i >"$prefix.boot.log" 2>&1
  qj_set_desktop "$prefix" "$size"
  WINEPREFIX=$prefix wineserver -w
}

qj_set_desktop() {
  local prefix=$1 size=$2
  WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
}

# A copy of a booted prefix, cheaper than a boot.
qj_copy_prefix() {
  local from=$1 to=$2
  rm -rf "$to"
  cp -a "$from" "$to"
  QJ_PREFIXES+=("$to")
}

qj_cleanup() {
  local p pid
  for p in "${QJ_PREFIXES[@]}"; do
    WINEPREFIX=$p wineserver -k >/dev/null 2>&1 || true
  done
  for pid in "${QJ_XVFB_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for p in "${QJ_MOUNTS[@]}"; do
    umount "$p" 2>/dev/null || umount -l "$p" 2>/dev/null || true
  done
  QJ_XVFB_PIDS=()
  QJ_PREFIXES=()
  QJ_MOUNTS=()
}
