#!/usr/bin/env bash
# The WebAssembly replay tool against the Linux one: TICKS ticks (default 1,000,000) of random
# input, game after game, through both; prints the first line where their worlds differ (there
# must be none) or the ticks and games played alike.
# Usage: bench/wasm-equal.sh [TICKS]   (needs build/ and build-wasm/, see docs/testing.md)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
ticks=${1:-1000000}
native=$root/build/run/kelto-replay
wasm=$root/build-wasm/run/kelto-replay.js
for tool in "$native" "$wasm"; do
  [[ -f "$tool" ]] || { echo "wasm-equal: no $tool: build it first" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One input every 1 to 60 ticks: the mouse anywhere (often a few pixels from the player, where the
# aim's ratios are small), each button and movement key held or not, now and then Esc.
random_input() {
  awk -v n="$1" -v seed="$2" 'BEGIN {
    srand(seed)
    split("87 65 83 68 27", code, " ")
    for (i = 0; i < n; i += hold) {
      hold = 1 + int(rand() * 60)
      keys = ""
      for (k = 1; k <= 5; k++) if (rand() < (k == 5 ? 0.02 : 0.3)) keys = keys (keys == "" ? "" : ",") code[k]
      if (rand() < 0.3) { x = 400 + int(rand() * 25) - 12; y = 300 + int(rand() * 25) - 12 }
      else { x = int(rand() * 800); y = int(rand() * 600) }
      line = x " " y " " (rand() < 0.4) " " (rand() < 0.2) " " (keys == "" ? "-" : keys)
      for (t = 0; t < hold && i + t < n; t++) print line
    }
  }'
}

started=$(date +%s)
played=0
games=0
while ((played < ticks)); do
  games=$((games + 1))
  random_input $((ticks - played < 100000 ? ticks - played : 100000)) "$games" >"$work/input"
  "$native" <"$work/input" >"$work/native"
  node "$wasm" <"$work/input" >"$work/wasm"
  if ! cmp -s "$work/native" "$work/wasm"; then
    line=$(cmp "$work/native" "$work/wasm" | awk '{ print $NF }')
    echo "game $games, output line $line differs:"
    echo "  linux: $(sed -n "${line}p" "$work/native")"
    echo "  wasm:  $(sed -n "${line}p" "$work/wasm")"
    echo "  at $(head -n "$line" "$work/native" | grep '^tick ' | tail -n 1)"
    exit 1
  fi
  played=$((played + $(grep '^tick ' "$work/native" | tail -n 1 | cut -d' ' -f2)))
done
echo "wasm-equal: $played ticks in $games games alike, byte for byte, in $(($(date +%s) - started)) s"
