#!/usr/bin/env bash
# The browser build against the Linux build: the Linux game's menu and its score scene after
# full_game.demo are photographed on a private X display, then the page is served and driven in a
# headless Chromium (test_page.mjs).
# Usage: test_web.sh BUILD_WEB_DIR LINUX_RUN_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
web=$(cd "$1" && pwd)
export KELTO_RUN_DIR=$(cd "$2" && pwd)
export KELTO_XCLOSE=${KELTO_XCLOSE:-$KELTO_RUN_DIR/../tests/kelto-xclose}
source "$here/../e2e/lib.sh"
SERVER_PID=
e2e_before_displays_go() { [[ -z "$SERVER_PID" ]] || stop_process "$SERVER_PID"; }

(cd "$here" && npm ci --no-audit --no-fund --silent)

cp "$here/../e2e/full_game.demo" "$E2E_TMP/"
printf '# kelto demo 1\n400 300 0 0 87\n400 300 1 0 w\n' >"$E2E_TMP/bad.demo"

start_display
make_run_dir
start_game
wait_window
wait_for 10 "frame rate in the title" fps_title
shot "$E2E_TMP/linux-menu.png"
"$KELTO_XCLOSE" "$GAME_WINDOW"
expect_exit 0
printf '15\r\n9\r\n7\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n' >"$RUN_DIR/score.txt"
start_game --play "$E2E_TMP/full_game.demo"
wait_window
wait_for 120 "demo line" grep -q '^demo: ' "$E2E_TMP/stdout"
sleep 0.5
shot "$E2E_TMP/linux-scene.png"
"$KELTO_XCLOSE" "$GAME_WINDOW"
expect_exit 0

# The page's files and the demos side by side, as on any web host.
site="$E2E_TMP/site"
mkdir "$site"
ln -s "$web"/kelto.{html,js,wasm,data} "$site/"
cp "$E2E_TMP"/{full_game,bad}.demo "$site/"
python3 -u -m http.server --bind 127.0.0.1 --directory "$site" 0 >"$E2E_TMP/server.log" 2>&1 &
SERVER_PID=$!
wait_for 10 "web server" grep -qs 'port [0-9]' "$E2E_TMP/server.log"
port=$(grep -o 'port [0-9]*' "$E2E_TMP/server.log" | head -n 1 | cut -d' ' -f2)
(cd "$here" && node test_page.mjs "http://127.0.0.1:$port/kelto.html" "$E2E_TMP" \
  "$KELTO_RUN_DIR/kelto-replay")
