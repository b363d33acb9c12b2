#!/usr/bin/env bash
# Builds the game for web browsers into build-web/ (kelto.html, kelto.js, kelto.wasm, kelto.data)
# and serves that folder on http://127.0.0.1:8080/kelto.html until interrupted.
# Usage: scripts/web.sh [--build-only]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" web
# Emscripten's optimizer needs Debian's acorn module.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S "$root" -B "$root/build-web" -DKELTO_GL=GLES3 -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-web" -j"$(nproc)" --target kelto >/dev/null
[[ "${1:-}" == "--build-only" ]] && exit 0
echo "kelto: http://127.0.0.1:8080/kelto.html"
cd "$root/build-web" && exec python3 -m http.server --bind 127.0.0.1 8080
