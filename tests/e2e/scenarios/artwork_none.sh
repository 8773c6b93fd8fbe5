# Without App.bmp and Company.bmp the background is the gradient alone.
. "$(dirname "${BASH_SOURCE[0]}")/artwork.sh"

scenario() {
  scenario_begin artwork_none 1024x768
  start_artwork_setup
  screenshot no_pictures
  check_no_app
  check_no_company 648 486
  finish_artwork_setup
}
