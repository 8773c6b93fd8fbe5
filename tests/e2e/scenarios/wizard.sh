# The wizard and the background on a 1024x768 desktop, one way of leaving
# each dialog:
#  1. no Setup.ini: the background has an empty caption, the Welcome text
#     an empty name; Esc leaves.
#  2. License=1 and a CRLF License.txt: the Welcome text names the product,
#     the licence shows as it is; "I do not accept" leaves.
#  3. License=yes: straight to Destination, captioned with Title and showing
#     Destination. A blank folder is refused; a relative one is made
#     absolute against the medium's folder, as $(Destination) shows through
#     an Ini entry.
#  4. License=1 without the file: straight to Destination. The folder
#     picker opens at C:\Program Files with the name and type fields hidden,
#     "Select" beside Cancel and the list down to the buttons, modal to
#     Destination; a double-clicked folder is opened and Select returns it,
#     a highlighted one is not; Cancel keeps what was typed. The close box
#     leaves. Leaving changes nothing on disk.
#  5. The background: three quarters of the desktop, centred, captioned
#     with Title, the gradient with App.bmp at (10, 10) and Company.bmp
#     (RLE8) at (window width - w - 20, window height - h - 40) of the client
#     area, both transparent in the colour of their top-left pixel.
#     Company.bmp stays where it was drawn when the window is resized. An
#     App.bmp that cannot be decoded is not drawn while Company.bmp still
#     is; elsewhere the background is the gradient alone, pure blue on top.
# rgb X Y: the format that prints the screenshot's pixel (X, Y) as "R G B".
rgb() {
  echo "%[fx:int(255*p{$1,$2}.r+0.5)] %[fx:int(255*p{$1,$2}.g+0.5)] %[fx:int(255*p{$1,$2}.b+0.5)]"
}

# check X0 Y0 [NAME DX DY WANT]...: the client pixel (X0 + DX, Y0 + DY) of
# the screenshot A_SHOT is WANT, "R,G,B" or g for the gradient's colour as
# the middle of its row shows it (the bands: SetupDlgTest, row by row).
check() {
  local x0=$1 y0=$2 f='' names=() wants=() r g b mr mg mb i=0
  shift 2
  while [ $# -gt 0 ]; do
    local y=$((A_CY + y0 + $3))
    f+="$(rgb $((A_CX + x0 + $2)) $y) $(rgb $((A_CX + A_CW / 2)) $y)\n"
    names+=("$1 at ($((x0 + $2)), $((y0 + $3)))"); wants+=("${4//,/ }")
    shift 4
  done
  while read -r r g b mr mg mb; do
    [ "${wants[i]}" != g ] || wants[i]="$mr $mg $mb"
    if [ "$r $g $b" = "${wants[i]}" ]; then echo "    ${names[i]}: $r $g $b"; else
      echo "    ${names[i]}: $r $g $b, want ${wants[i]}"; A_FAILS=$((A_FAILS + 1)); fi
    i=$((i + 1))
  done < <(convert "$A_SHOT" -format "$f" info:)
  [ "$i" -eq "${#wants[@]}" ] || A_FAILS=$((A_FAILS + 1))
}

# App.bmp, 120 x 60: a white (key) margin, a black frame, red inside with a
# white hole and an opaque near-white patch.
APP=(app-margin 11 11 g app-frame 15 40 0,0,0 app-inside 50 40 200,30,30 app-near-white 35 40 254,255,255
  app-hole 70 40 g right-of-app 131 40 g)
# Company.bmp, 100 x 50: yellow with a magenta (key) margin and hole.
COMPANY=(company-inside 20 25 255,255,0 company-hole 50 25 g company-margin 1 1 g left-of-company -2 25 g)

# shot NAME: waits for the painted background and takes the screenshot.
shot() {
  drive attach Setup.exe wait-background sleep 500 rect
  read -r A_X A_Y A_W A_H _ A_CX A_CY A_CW A_CH <<<"$(last_line rect)"
  echo "    window ${A_W}x${A_H}, client at $A_CX,$A_CY size ${A_CW}x${A_CH}"
  A_SHOT="$S_DIR/shots/$1.png"
  import -display "$DISPLAY" -window root "$A_SHOT"
}

start_artwork_setup() {
  A_FAILS=0
  start_setup
  drive attach Setup.exe wait-control 1001 wait-background expect-text 0 Artwork
  shot "$1"
  [ "$A_X $A_Y $A_W $A_H" = "128 96 768 576" ]
}

finish_artwork_setup() {
  drive attach Setup.exe wait-control 1001 click 2
  wait_setup_exit 1
  [ "$A_FAILS" -eq 0 ]
}

scenario() {
  scenario_begin wizard 1024x768
  local m="$S_DIR/medium" text
  # The bitmap button's run-time class is registered at start-up, so the
  # program carries it (a static library's unreferenced object would not be).
  grep -q CBmpBtn "$m/Setup.exe"
  start_setup
  drive attach Setup.exe wait-control 1001 expect-text 0 "" \
    expect-text 1001 "$(printf 'Welcome to the  installation program.\n\nThis will install the  software on your computer.')" \
    wait-background expect-text 0 ""
  screenshot welcome-without-script
  drive attach Setup.exe wait-control 1001 key 0x1B
  wait_setup_exit 1
  expect_disk_unchanged

  printf '[General]\r\nTitle=Sample Setup\r\nName=Sample\r\nLicense=1\r\n' >"$m/Setup.ini"
  printf 'SAMPLE LICENSE\r\n\r\nYou may install this sample.\r\nLine four.\r\n' >"$m/License.txt"
  text=$(cat "$m/License.txt"; printf x)
  start_setup
  drive attach Setup.exe wait-control 1001 expect-text 0 "Sample Setup" \
    expect-text 1001 "$(printf 'Welcome to the Sample installation program.\n\nThis will install the Sample software on your computer.')" \
    wait-background expect-text 0 "Sample Setup" wait-control 1001 click 1 \
    wait-control 1009 expect-text 0 "License Agreement" expect-text 1009 "${text%x}"
  screenshot license
  drive attach Setup.exe wait-control 1009 click 2
  wait_setup_exit 1
  expect_disk_unchanged

  printf '[General]\r\nTitle=Sample Setup\r\nLicense=yes\r\nDestination=C:\\Sample\r\n%b\r\n' \
    '[Ini]\r\n1=C:\\\tdest.ini\tS\tDest\t$(Destination)' >"$m/Setup.ini"
  start_setup
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 expect-text 0 "Sample Setup" \
    expect-text 1008 'C:\Sample' type 1008 '  ' click 1
  screenshot destination
  [ "$(message_box_text)" = "Please enter the folder to install the software into." ]
  close_message_box
  drive attach Setup.exe wait-control 1008 type 1008 'Rel\App' click 1
  wait_setup_exit
  text=$(tr -d '\r' <"$S_PREFIX/drive_c/dest.ini" | sed -n 's/^Dest=//p')
  echo "    \$(Destination) was \"$text\""
  [ "$text" = "Z:${m//\//\\}\Rel\App" ]

  rm "$m/License.txt"
  mkdir -p "$S_PREFIX/drive_c/Program Files/AAA Pick/Inner"
  printf '[General]\r\nLicense=1\r\n' >"$m/Setup.ini"
  start_setup
  local picker=(wait-window "#32770" "Select Application Folder")
  drive attach Setup.exe wait-control 1001 click 1 wait-control 1008 click 1010 \
    "${picker[@]}" wait-control 1008 expect-enabled 0 \
    "${picker[@]}" expect-text 1 "Select" expect-hidden 1090 expect-hidden 1136 expect-hidden 1089 \
    control-rect 2 control-rect 1 control-rect 1121
  screenshot picker
  local cl ct ot orr ll lt lb
  { read -r cl ct _ _; read -r _ ot orr _; read -r ll lt _ lb; } \
    < <(sed -n 's/^control-rect //p' "$S_DIR/driver.out" | tr -d '\r')
  echo "    Cancel at $cl,$ct; Select top $ot right $orr; list at $ll,$lt bottom $lb"
  (( ot == ct && orr == cl - 4 && lb == ct - 4 ))
  # The first folder of the list is "AAA Pick".
  xdotool mousemove --sync $((ll + 30)) $((lt + 10)) click --repeat 2 --delay 120 1
  sleep 1
  drive attach Setup.exe "${picker[@]}" click 1 wait-gone \
    wait-control 1008 expect-enabled 1 expect-text 1008 'C:\Program Files\AAA Pick' click 1010 "${picker[@]}"
  # "Inner" highlighted, not opened: Select returns the folder shown.
  xdotool mousemove --sync $((ll + 30)) $((lt + 10)) click 1
  sleep 0.5
  drive attach Setup.exe "${picker[@]}" click 1 wait-control 1008 expect-text 1008 'C:\Program Files' \
    type 1008 'D:\Typed' click 1010 "${picker[@]}" click 2 wait-control 1008 expect-text 1008 'D:\Typed' \
    close
  wait_setup_exit 1
  expect_disk_unchanged

  printf '[General]\r\nTitle=Artwork\r\n' >"$m/Setup.ini"
  convert -size 120x60 xc:white +antialias -fill black -draw 'rectangle 4,4 115,55' \
    -fill 'rgb(200,30,30)' -draw 'rectangle 8,8 111,51' -fill 'rgb(254,255,255)' -draw 'rectangle 20,20 29,39' \
    -fill white -draw 'rectangle 50,20 69,39' -alpha off -type TrueColor "BMP3:$m/App.bmp"
  # Run-length coded (RLE8), which the system decodes.
  convert -size 100x50 xc:magenta +antialias -fill yellow -draw 'rectangle 3,3 96,46' \
    -fill magenta -draw 'rectangle 40,15 59,34' -alpha off -type Palette -compress RLE "BMP3:$m/Company.bmp"
  [ "$(od -An -tu4 -j30 -N4 "$m/Company.bmp")" -eq 1 ]
  start_artwork_setup both_pictures
  # The start-up window is 768 x 576: (768 - 100 - 20, 576 - 50 - 40).
  check 0 0 "${APP[@]}"
  check 648 486 "${COMPANY[@]}"
  # Resized, the company picture stays where it was.
  drive attach Setup.exe wait-background resize 860 640 redraw
  shot resized
  check 648 486 "${COMPANY[@]}"
  check $((860 - 100 - 20)) $((640 - 50 - 40)) no-company-moved 20 25 g
  finish_artwork_setup

  # Width 120 becomes 12000: 36000-byte rows in a file of some 21 KB. (A
  # missing file is refused by LoadPicture as this one is: PictureTest.)
  printf '\340\056' | dd of="$m/App.bmp" bs=1 seek=18 conv=notrunc status=none
  start_artwork_setup broken_app
  check 0 0 no-app-frame 15 40 g no-app-inside 50 40 g top 384 0 0,0,255
  check 648 486 "${COMPANY[@]}"
  finish_artwork_setup
}
