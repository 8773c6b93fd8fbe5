# The background on a 1024x768 desktop: three quarters of it, centred,
# captioned with Title, the gradient with App.bmp at (10, 10) and
# Company.bmp (RLE8) at (window width - w - 20, window height - h - 40) of
# the client area, both transparent in the colour of their top-left pixel.
# Company.bmp stays where it was drawn when the window is resized. An
# App.bmp that cannot be decoded is not drawn while Company.bmp still is;
# elsewhere the background is the gradient alone, pure blue on top.

# gradient_blue ROW: the background's colour at a client row for the
# client height A_CH (the band rule, worked out independently).
gradient_blue() {
  awk -v h="$A_CH" -v y="$1" 'BEGIN {
    b = int(h / 180); if (b < 1) b = 1
    while (int(h / b) > 180) b++
    n = int(h / b); if (n < 1) n = 1
    s = int(180 / n)
    print "0 0 " 255 - (int(y / b) * s) % 256 }'
}

# check X0 Y0 [NAME DX DY WANT]...: the client pixel (X0 + DX, Y0 + DY) of
# the screenshot A_SHOT is WANT, "R,G,B" or g for the gradient's colour.
check() {
  local x0=$1 y0=$2 f='' names=() wants=() want got i=0
  shift 2
  while [ $# -gt 0 ]; do
    local x=$((A_CX + x0 + $2)) y=$((A_CY + y0 + $3))
    f+="%[fx:int(255*p{$x,$y}.r+0.5)] %[fx:int(255*p{$x,$y}.g+0.5)] %[fx:int(255*p{$x,$y}.b+0.5)]\n"
    want=${4//,/ }
    [ "$want" != g ] || want=$(gradient_blue $((y0 + $3)))
    names+=("$1 at ($((x0 + $2)), $((y0 + $3)))"); wants+=("$want")
    shift 4
  done
  while read -r got; do
    if [ "$got" = "${wants[i]}" ]; then echo "    ${names[i]}: $got"; else
      echo "    ${names[i]}: $got, want ${wants[i]}"; A_FAILS=$((A_FAILS + 1)); fi
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
  drive attach Setup.exe wait-background sleep 500 rect 0
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
  scenario_begin artwork 1024x768
  local m="$S_DIR/medium"
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
  check 0 0 no-app-frame 15 40 g no-app-inside 50 40 g top 384 0 0,0,255 bottom 20 $((A_CH - 1)) g
  check 648 486 "${COMPANY[@]}"
  finish_artwork_setup
}
