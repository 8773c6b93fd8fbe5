# The background artwork: App.bmp at (10, 10) and Company.bmp (RLE8) at
# (window width - w - 20, window height - h - 40) of the client area, both
# transparent in the colour of their top-left pixel, over the gradient.
# Company.bmp stays where it was drawn when the window is resized. An
# App.bmp that cannot be decoded is not drawn while Company.bmp still is;
# without pictures the background is the gradient alone.

# write_bmp FILE W H AWK: a 24-bit BMP whose pixel (x, y), y = 0 at the
# top, gets the r, g, b that the awk statements set.
write_bmp() {
  LC_ALL=C awk -v w="$2" -v h="$3" "
    function le(v, n,  i) { for (i = 0; i < n; i++) { printf \"%c\", v % 256; v = int(v / 256) } }
    BEGIN {
      row = int((w * 3 + 3) / 4) * 4
      printf \"BM\"; le(54 + row * h, 4); le(0, 4); le(54, 4)
      le(40, 4); le(w, 4); le(h, 4); le(1, 2); le(24, 2); le(0, 4); le(row * h, 4)
      le(2835, 4); le(2835, 4); le(0, 4); le(0, 4)
      for (y = h - 1; y >= 0; y--) {
        for (x = 0; x < w; x++) { $4; le(b, 1); le(g, 1); le(r, 1) }
        for (p = w * 3; p < row; p++) le(0, 1)
      }
    }" >"$1"
}

# App.bmp, 120 x 60: a white (key) margin, a black frame, red inside with
# a white hole and an opaque near-white patch.
write_app_bmp() {
  write_bmp "$1" 120 60 '
    r = 200; g = 30; b = 30
    if (x >= 20 && x < 30 && y >= 20 && y < 40) { r = 254; g = 255; b = 255 }
    if (x >= 50 && x < 70 && y >= 20 && y < 40) { r = 255; g = 255; b = 255 }
    if (x < 8 || y < 8 || x >= 112 || y >= 52) { r = 0; g = 0; b = 0 }
    if (x < 4 || y < 4 || x >= 116 || y >= 56) { r = 255; g = 255; b = 255 }'
}

# Company.bmp, 100 x 50: yellow with a magenta (key) margin and hole.
write_company_bmp() {
  write_bmp "$1" 100 50 '
    r = 255; g = 255; b = 0
    if (x < 3 || y < 3 || x >= 97 || y >= 47 || (x >= 40 && x < 60 && y >= 15 && y < 35)) { r = 255; g = 0; b = 255 }'
}

# expect_pixel WHAT X Y WANT: the client pixel (X, Y) of the background.
expect_pixel() {
  local got
  got=$(pixel $((A_CX + $2)) $((A_CY + $3)))
  if [ "$got" = "$4" ]; then
    echo "    $1 at ($2, $3): $got"
  else
    echo "    $1 at ($2, $3): $got, want $4"
    A_FAILS=$((A_FAILS + 1))
  fi
}

# The background's rectangle from the driver's last "rect" line.
read_rect() {
  read -r _ _ A_W A_H _ A_CX A_CY A_CW A_CH <<<"$(last_line rect)"
  echo "    window ${A_W}x${A_H}, client at $A_CX,$A_CY size ${A_CW}x${A_CH}"
}

# check_app: App.bmp drawn at (10, 10), transparent in white only.
check_app() {
  expect_pixel "App margin (key)" 11 11 "$(gradient_blue "$A_CH" 11)"
  expect_pixel "App frame (black)" 15 40 "0 0 0"
  expect_pixel "App inside" 50 40 "200 30 30"
  expect_pixel "App near-white" 35 40 "254 255 255"
  expect_pixel "App hole (key)" 70 40 "$(gradient_blue "$A_CH" 40)"
  expect_pixel "App right of it" 131 40 "$(gradient_blue "$A_CH" 40)"
}

# check_company X Y: Company.bmp drawn with its top-left corner at (X, Y).
check_company() {
  expect_pixel "Company inside" $(($1 + 20)) $(($2 + 25)) "255 255 0"
  expect_pixel "Company hole (key)" $(($1 + 50)) $(($2 + 25)) "$(gradient_blue "$A_CH" $(($2 + 25)))"
  expect_pixel "Company margin (key)" $(($1 + 1)) $(($2 + 1)) "$(gradient_blue "$A_CH" $(($2 + 1)))"
  expect_pixel "Company left of it" $(($1 - 2)) $(($2 + 25)) "$(gradient_blue "$A_CH" $(($2 + 25)))"
}

# check_no_company X Y: nothing drawn where a picture of 100 x 50 at (X, Y) would be.
check_no_company() {
  expect_pixel "no Company" $(($1 + 20)) $(($2 + 25)) "$(gradient_blue "$A_CH" $(($2 + 25)))"
}

# check_no_app: the gradient where App.bmp would be.
check_no_app() {
  expect_pixel "no App (frame)" 15 40 "$(gradient_blue "$A_CH" 40)"
  expect_pixel "no App (inside)" 50 40 "$(gradient_blue "$A_CH" 40)"
}

# Starts Setup.exe on a 1024x768 desktop and waits for the background.
start_artwork_setup() {
  printf '[General]\r\nTitle=Artwork\r\nName=Artwork\r\n' >"$S_DIR/medium/Setup.ini"
  start_setup
  drive attach Setup.exe wait-control 1001 wait-background expect-rect 128 96 768 576 sleep 500 rect
  read_rect
  A_FAILS=0
}

finish_artwork_setup() {
  drive attach Setup.exe wait-control 1001 click 2
  wait_setup_exit
  [ "$A_FAILS" -eq 0 ]
}

scenario() {
  scenario_begin artwork 1024x768
  write_app_bmp "$S_DIR/medium/App.bmp"
  # Company.bmp run-length coded (RLE8), which the system decodes.
  write_company_bmp "$S_DIR/company24.bmp"
  convert "$S_DIR/company24.bmp" -type Palette -compress RLE "BMP3:$S_DIR/medium/Company.bmp"
  [ "$(od -An -tu4 -j30 -N4 "$S_DIR/medium/Company.bmp")" -eq 1 ]
  start_artwork_setup
  screenshot both_pictures
  check_app
  # The start-up window is 768 x 576: (768 - 100 - 20, 576 - 50 - 40).
  check_company 648 486
  # Resized, the company picture stays where it was.
  drive attach Setup.exe wait-background resize 860 640 redraw sleep 500 rect
  read_rect
  screenshot resized
  check_app
  check_company 648 486
  check_no_company $((860 - 100 - 20)) $((640 - 50 - 40))
  finish_artwork_setup

  # Width 120 becomes 12000: 36000-byte rows in a file of some 21 KB.
  printf '\340\056' | dd of="$S_DIR/medium/App.bmp" bs=1 seek=18 conv=notrunc status=none
  start_artwork_setup
  screenshot broken_app
  check_no_app
  check_company 648 486
  finish_artwork_setup

  rm "$S_DIR/medium/App.bmp" "$S_DIR/medium/Company.bmp"
  start_artwork_setup
  screenshot no_pictures
  check_no_app
  check_no_company 648 486
  finish_artwork_setup
}
