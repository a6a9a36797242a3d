#!/usr/bin/env bash
# Takes the README's picture of the import dialog: runs pelorin under Xvfb
# with a photo-like picture (made by ImageMagick from a formula) named on the
# command line, which brings it in through "Import picture", picks a
# dithering by keyboard (Alt+D, then the first letter of its name) and
# photographs the screen, trimmed to the windows.
#
#   scripts/screenshot-import.sh [OUTPUT.png] [DITHERING]
#     (default docs/images/import-picture.png, Atkinson; DITHERING is
#      none, floyd-steinberg, atkinson or ordered)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh xvfb xauth imagemagick xdotool
output=${1:-docs/images/import-picture.png}
dither=${2:-atkinson}
case $dither in
  none) letter=n ;; floyd-steinberg) letter=f ;; atkinson) letter=a ;; ordered) letter=o ;;
  *) echo "screenshot-import.sh: unknown dithering $dither" >&2; exit 2 ;;
esac

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_BUILD_TESTS=OFF -DPELORIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target pelorin >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config" "$(dirname "$output")"
# A photo-like banner: a lit sphere on a soft gradient, with fine texture.
photo=$home/photo.png
convert -size 600x150 xc: -fx \
  '(hypot(i-110,j-75)<62) ? (0.1+0.85*sqrt(max(0,1-pow(hypot(i-110,j-75)/62,2)))*(0.55+0.45*(i-70)/90)) : (0.25+0.6*i/w+0.06*sin(i/5)*sin(j/6))' \
  -colorspace Gray "$photo"

export HOME=$home XDG_CONFIG_HOME=$home/.config QT_SCALE_FACTOR=${PELORIN_SCREENSHOT_SCALE:-2}
xvfb-run --auto-servernum --server-args="-screen 0 1600x1200x24" \
  bash -c '
    "$1" "$2" & editor=$!
    sleep "${PELORIN_SCREENSHOT_WAIT:-3}"
    kill -0 "$editor" || { echo "screenshot-import.sh: the editor ended early" >&2; exit 1; }
    xdotool key alt+d
    [ "$4" = n ] || xdotool key "$4"
    sleep 1
    import -window root "$3"
    kill "$editor"
    wait "$editor" || true' bash "$build/tools/pelorin" "$photo" "$output" "$letter"

# Without a window manager the windows sit on a black screen: keep them only.
convert "$output" -trim +repage "$output"
echo "wrote $output"
