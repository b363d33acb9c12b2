#!/usr/bin/env bash
# Builds the game and starts it in its run folder (build/run: the game, picture/, score.txt).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELTO_BUILD_DIR:-$root/build}

"$root/scripts/deps.sh" build
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target kelto pictures >/dev/null

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "kelto: no display to open a window on; on a machine without one run: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi
cd "$build/run"
exec ./kelto
