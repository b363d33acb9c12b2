#!/usr/bin/env bash
# Photographs a game in progress for the README: the real game of build/ plays the committed demo
# on a private X display, and after SECONDS (default 12) its 800 x 600 view is written to
# docs/screenshot.png.
# Usage: scripts/screenshot.sh [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-12}
work=$(mktemp -d)
xvfb=
game=
cleanup() {
  [[ -z $game ]] || kill "$game" 2>/dev/null || true
  [[ -z $xvfb ]] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
"$root/scripts/deps.sh" test
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
until [[ -s $work/display ]]; do sleep 0.05; done
export DISPLAY=:$(cat "$work/display")
cp -r "$root/build/run/kelto" "$root/build/run/picture" "$work/"
[[ ! -d $root/build/run/sound ]] || cp -r "$root/build/run/sound" "$work/"
(cd "$work" && exec ./kelto --play "$root/tests/e2e/full_game.demo" >/dev/null 2>&1) &
game=$!
sleep "$seconds"
kill -0 "$game" 2>/dev/null || { echo "scripts/screenshot.sh: the game ended early" >&2; exit 1; }
xwd -root -silent | convert xwd:- -crop 800x600+0+0 +repage -strip "$root/docs/screenshot.png"
echo "scripts/screenshot.sh: wrote docs/screenshot.png"
