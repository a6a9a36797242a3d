#!/usr/bin/env bash
# Sends every kind of job to the simulated phone three ways and prints the
# time each took: with the editor's fixed waits (1 s after each command, a
# 2 s round for each acknowledgement), with --fast (each step as soon as the
# reply is complete), and with Gammu sending the same logo (same size, same
# bitmap, same text) through the same phone. Targets: the fixed waits within
# 50 ms a message of their floor; --fast under 100 ms a message and faster
# than Gammu on every kind. Exits with 1 when a target is missed.
set -euo pipefail
# Gammu, sort, grep and the validators read text by the locale; the same
# UTF-8 one for every caller (C.UTF-8 comes with the C library).
export LC_ALL=C.UTF-8
cd "$(dirname "$0")/.."

build=build/release
if [ ! -x "$build/tools/pelorin-cli" ] || [ ! -x "$build/tools/pelorin-phone" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_BUILD_TESTS=OFF -DPELORIN_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target pelorin-cli pelorin-phone >/dev/null
cli="$build/tools/pelorin-cli"
gammu=$(command -v gammu || true)

work=$(mktemp -d)
fifo="$work/out"
mkfifo "$fifo"
"$build/tools/pelorin-phone" --quiet --network 262-02 --store "$work/store" >"$fifo" &
phone=$!
trap 'kill $phone 2>/dev/null || true; rm -rf "$work"' EXIT
read -r device <"$fifo"
# Gammu's settings for this run only, never the user's.
printf '[gammu]\nconnection = at\ndevice = %s\n' "$device" >"$work/gammurc"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# A blank two-colour bitmap (index 0 white) of W x H for Gammu.
blank_bmp() {
  local width=$1 height=$2 file=$3 stride=$(( ($1 + 31) / 32 * 4 ))
  local image=$(( stride * height ))
  le32() { printf "\\x$(printf %02x $(( $1 & 255 )))\\x$(printf %02x $(( ($1 >> 8) & 255 )))\\x$(printf %02x $(( ($1 >> 16) & 255 )))\\x$(printf %02x $(( ($1 >> 24) & 255 )))"; }
  {
    printf 'BM'; le32 $(( 62 + image )); le32 0; le32 62
    le32 40; le32 "$width"; le32 "$height"; printf '\x01\x00\x01\x00'; le32 0; le32 "$image"
    le32 2835; le32 2835; le32 2; le32 2
    printf '\xff\xff\xff\x00\x00\x00\x00\x00'
    head -c "$image" /dev/zero
  } >"$file"
}
blank_bmp 72 14 "$work/operator.bmp"
blank_bmp 72 28 "$work/picture.bmp"
blank_bmp 78 21 "$work/large.bmp"
# The restore message's fixed image, as the phone received it, for Gammu.
"$cli" send restore-operator-logo --to +4917012345 --port "$device" --fast >/dev/null
restore=$(ls "$work/store"/*.plr | tail -n 1)
"$cli" convert "$restore" "$work/restore.nlm"

timed() {
  local start
  start=$(now_ms)
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
  echo $(( $(now_ms) - start ))
}

printf '%-22s %8s %9s %9s %9s %9s %12s  %s\n' kind messages "floor ms" "fixed ms" "fast ms" "gammu ms" "fast ms/msg" verdict
status=0
# kind, messages, floor of the fixed waits in ms, Gammu's arguments, extra arguments of ours
while IFS='|' read -r kind messages floor gammu_args extra; do
  # shellcheck disable=SC2086
  fixed=$(timed "$cli" send "$kind" --to +4917012345 --port "$device" $extra)
  # shellcheck disable=SC2086
  fast=$(timed "$cli" send "$kind" --to +4917012345 --port "$device" --fast $extra)
  if [ -n "$gammu" ]; then
    # shellcheck disable=SC2086
    gammu_ms=$(eval timed "$gammu" -c "$work/gammurc" sendsms $gammu_args)
  else
    gammu_ms=-
  fi
  per=$(( fast / messages ))
  verdict=ok
  if [ $(( (fixed - floor) / messages )) -ge 50 ]; then verdict="FIXED OVER 50 ms"; status=1; fi
  if [ "$per" -ge 100 ]; then verdict="FAST OVER 100 ms"; status=1; fi
  if [ "$gammu_ms" != - ] && [ "$fast" -ge "$gammu_ms" ]; then verdict="NOT FASTER THAN GAMMU"; status=1; fi
  printf '%-22s %8d %9d %9d %9d %9s %12d  %s\n' "$kind" "$messages" "$floor" "$fixed" "$fast" "$gammu_ms" "$per" "$verdict"
done <<JOBS
operator-logo|1|4000|OPERATOR +4917012345 $work/operator.bmp -netcode "262 02"|--network 262-02
group-graphic|1|4000|CALLER +4917012345 $work/operator.bmp|
restore-operator-logo|1|4000|OPERATOR +4917012345 $work/restore.nlm -netcode "262 02"|
large-operator-logo|2|7000|OPERATOR +4917012345 $work/large.bmp -netcode "262 02" -biglogo|--network 262-02
picture-message|3|10000|PICTURE +4917012345 $work/picture.bmp -text Hello|--text Hello
JOBS
if [ -z "$gammu" ]; then echo "gammu is not installed: no comparison (apt-get install gammu)"; fi
echo "Gammu sends the restore message's image as an operator logo for 262 02: it refuses the network 000 00."
exit $status
