#!/usr/bin/env bash
# Sends every kind of job at the real waits to the simulated phone and prints
# the time each took against the floor the waits set (1 s after each command,
# one 2 s round for each acknowledgement): what is left over is our own
# overhead, which must stay under 50 ms a message.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/release
if [ ! -x "$build/tools/pelorin-cli" ] || [ ! -x "$build/tools/pelorin-phone" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_BUILD_TESTS=OFF -DPELORIN_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" >/dev/null
fi

store=$(mktemp -d)
fifo="$store/out"
mkfifo "$fifo"
"$build/tools/pelorin-phone" --quiet --store "$store" >"$fifo" &
phone=$!
trap 'kill $phone 2>/dev/null || true; rm -rf "$store"' EXIT
read -r device <"$fifo"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

printf '%-22s %8s %9s %9s %12s  %s\n' kind messages "floor ms" "took ms" "ms/message" verdict
status=0
# kind, messages, floor in ms, extra arguments
while read -r kind messages floor extra; do
  start=$(now_ms)
  # shellcheck disable=SC2086
  "$build/tools/pelorin-cli" send "$kind" --to +4917012345 --port "$device" $extra >/dev/null
  took=$(( $(now_ms) - start ))
  per=$(( (took - floor) / messages ))
  verdict=ok
  if [ "$per" -ge 50 ]; then verdict="OVER 50 ms"; status=1; fi
  printf '%-22s %8d %9d %9d %12d  %s\n' "$kind" "$messages" "$floor" "$took" "$per" "$verdict"
done <<'JOBS'
operator-logo 1 4000 --network 262-02
group-graphic 1 4000
restore-operator-logo 1 4000
large-operator-logo 2 7000 --network 262-02
picture-message 3 10000 --text Hello
JOBS
exit $status
