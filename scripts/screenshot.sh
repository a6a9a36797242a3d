#!/usr/bin/env bash
# Takes the README's picture of the editor: builds pelorin, runs it under
# Xvfb at twice the normal scale (as on a high-density screen) with a logo
# open, photographs the screen with ImageMagick's import and trims it to the
# window. The logo is the word "Pelorin" drawn by ImageMagick as a bitmap,
# or the file named by PELORIN_SCREENSHOT_LOGO.
#
#   scripts/screenshot.sh [OUTPUT.png]     (default docs/images/editor.png)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh xvfb xauth imagemagick
output=${1:-docs/images/editor.png}

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_BUILD_TESTS=OFF -DPELORIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target pelorin >/dev/null

# Settings and documents of this run live in a throw-away home.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config" "$(dirname "$output")"
shot=$home/screen.png
logo=${PELORIN_SCREENSHOT_LOGO:-$home/pelorin.bmp}
if [ -z "${PELORIN_SCREENSHOT_LOGO:-}" ]; then
  convert -size 72x14 xc:white -fill black -font DejaVu-Sans-Bold -pointsize 12 -draw "text 2,12 'Pelorin'" \
    -threshold 50% -type palette -colors 2 BMP3:"$logo"
fi

export HOME=$home XDG_CONFIG_HOME=$home/.config QT_SCALE_FACTOR=${PELORIN_SCREENSHOT_SCALE:-2}
xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
  bash -c '
    "$1" "$2" & editor=$!
    sleep "${PELORIN_SCREENSHOT_WAIT:-3}"
    kill -0 "$editor" || { echo "screenshot.sh: the editor ended early" >&2; exit 1; }
    import -window root "$3"
    kill "$editor"
    wait "$editor" || true' bash "$build/tools/pelorin" "$logo" "$shot"

# Without a window manager the window sits in the top left corner of a black
# screen: keep the window only.
convert "$shot" -bordercolor black -border 1 -trim +repage -strip "$output"
echo "$output: $(identify -format '%wx%h' "$output")"
