# A damaged Windows.aqj beside a good Setup.aqj: the user is told which
# file is damaged and why, nothing of either archive is written, and the
# program ends when the message is closed. Truncation, a flipped bit in a
# member header, in the directory, a name Windows cannot create, and damaged
# coded data in the last member are each refused; the last is found while
# staging, after all of Setup.aqj, which is then rolled back.
scenario() {
  scenario_begin archive_damaged 800x600
  local m="$S_DIR/medium"
  mkdir -p "$S_DIR/good" "$S_DIR/win"
  printf 'good file' >"$S_DIR/good/good.txt"
  head -c 20000 /usr/bin/bash >"$S_DIR/win/first.bin"
  printf 'the last member of the archive' >"$S_DIR/win/last.txt"
  setuptool pack "$m/Setup.aqj" -m huff -C "$S_DIR" good
  setuptool pack "$S_DIR/Windows.good" -m lzw -C "$S_DIR" win
  printf '[General]\r\nTitle=Damaged Setup\r\n' >"$m/Setup.ini"
  local size dir
  size=$(stat -c %s "$S_DIR/Windows.good")
  dir=$(od -An -tu4 -j $((size - 4)) -N4 "$S_DIR/Windows.good" | tr -d ' ')
  python3 - "$S_DIR" "$dir" <<'PY'
import sys
d, directory = sys.argv[1], int(sys.argv[2])
good = open(d + "/Windows.good", "rb").read()
def put(name, data):
    open(d + "/Windows." + name, "wb").write(data)
put("truncated", good[:-9])
b = bytearray(good); b[12] ^= 0x10; put("header", bytes(b))          # first member's packed size
b = bytearray(good); b[directory + 4] ^= 0x01; put("directory", bytes(b))   # first name's length
b = bytearray(good); b[directory - 6:directory] = b"\xff" * 6; put("coded", bytes(b))
put("name", good[:directory] + good[directory:].replace(b"last.txt", b"LPT1.txt"))
PY
  local damage text d="$S_PREFIX/drive_c/Dest"
  mkdir -p "$d/good"
  printf 'old good' >"$d/good/good.txt"
  for damage in truncated header directory name coded; do
    cp "$S_DIR/Windows.$damage" "$m/Windows.aqj"
    start_setup
    through_destination 'C:\Dest'
    text=$(message_box_text)
    echo "    $damage: $text"
    case "$text" in
      "The file Windows.aqj is damaged ("*"). Nothing has been installed.") ;;
      *) echo "    unexpected message"; return 1 ;;
    esac
    if [ "$damage" = coded ]; then
      drive attach Setup.exe wait-control 1004 expect-text 1004 'last.txt'
      screenshot progress-damaged
    fi
    close_message_box
    wait_setup_exit
    [ "$(cat "$d/good/good.txt")" = 'old good' ]
    [ ! -e "$S_PREFIX/drive_c/windows/first.bin" ]
    [ "$(ls -A "$d" "$d/good" | tr '\n' ' ')" = "$d: good  $d/good: good.txt " ]
  done
}
