# An App.bmp that cannot be decoded (its header claims far more pixels than
# the file holds) is not drawn; Company.bmp still is.
. "$(dirname "${BASH_SOURCE[0]}")/artwork.sh"

scenario() {
  scenario_begin artwork_broken 1024x768
  write_app_bmp "$S_DIR/medium/App.bmp"
  # Width 120 becomes 12000: 36000-byte rows in a file of some 21 KB.
  printf '\340\056' | dd of="$S_DIR/medium/App.bmp" bs=1 seek=18 conv=notrunc status=none
  write_company_bmp "$S_DIR/medium/Company.bmp"
  start_artwork_setup
  screenshot broken_app
  check_no_app
  check_company 648 486
  finish_artwork_setup
}
