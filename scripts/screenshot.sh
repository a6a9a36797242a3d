#!/usr/bin/env bash
# Takes the README's picture of the editor: builds pelorin, runs it under
# Xvfb with the example logo open, photographs the screen with ImageMagick's
# import and trims it to the window.
#
#   scripts/screenshot.sh [OUTPUT.png]     (default docs/images/editor.png)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh xvfb xauth imagemagick
output=${1:-docs/images/editor.png}
logo=${PELORIN_SCREENSHOT_LOGO:-examples/smile.plr}

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_BUILD_TESTS=OFF -DPELORIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target pelorin >/dev/null

# Settings and documents of this run live in a throw-away home.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config" "$(dirname "$output")"
shot=$home/screen.png

HOME=$home XDG_CONFIG_HOME=$home/.config xvfb-run --auto-servernum --server-args="-screen 0 800x600x24" \
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
