#!/usr/bin/env bash
# The WebAssembly replay tool against the Linux one: TICKS ticks (default 1,000,000) of random
# input, game after game, through both; prints the first line where their worlds differ (there
# must be none) or the ticks and games played alike.
# Usage: bench/wasm-equal.sh [TICKS]   (needs build/ and build-web/, see docs/webassembly.md)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
ticks=${1:-1000000}
native=$root/build/run/kelto-replay
wasm=$root/build-web/run/kelto-replay.js
for tool in "$native" "$wasm"; do
  [[ -f "$tool" ]] || { echo "wasm-equal: no $tool: build it first" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

started=$(date +%s)
played=0
games=0
while ((played < ticks)); do
  games=$((games + 1))
  awk -v n=$((ticks - played < 100000 ? ticks - played : 100000)) -v seed="$games" -v near=0.3 \
    -f "$root/bench/random_input.awk" >"$work/input"
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
