# Shared helpers for the end-to-end tests: a private X display, a fresh run folder, the real game,
# real X input and screenshots. Source it; every helper fails the test loudly.
set -euo pipefail

: "${KELTO_RUN_DIR:?set by ctest to the run folder of the build}"
E2E_TMP=$(mktemp -d /tmp/kelto-e2e.XXXXXX)
XVFB_PID=
GAME_PID=
GAME_WINDOW=

e2e_cleanup() {
  local status=$?
  [[ -n "$GAME_PID" ]] && kill "$GAME_PID" 2>/dev/null && wait "$GAME_PID" 2>/dev/null
  [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  if [[ $status -ne 0 ]]; then
    echo "e2e: failed; files kept in $E2E_TMP" >&2
  else
    rm -rf "$E2E_TMP"
  fi
  exit $status
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Starts a private X server and points DISPLAY at it. Xvfb may announce a display number whose
# socket another server still holds; such a server dies at once, so it is checked and retried.
start_display() {
  local attempt fifo number
  for attempt in 1 2 3 4 5; do
    fifo="$E2E_TMP/display$attempt"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" 2>"$E2E_TMP/xvfb.log" &
    XVFB_PID=$!
    number=
    read -r -t 10 number <"$fifo" || true
    if [[ -n "$number" ]] && kill -0 "$XVFB_PID" 2>/dev/null &&
      xdpyinfo -display ":$number" >/dev/null 2>&1; then
      export DISPLAY=":$number"
      return 0
    fi
    kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
    sleep 0.2
  done
  fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
}

# A run folder of our own: the game and its pictures, no score file unless a test writes one.
make_run_dir() {
  RUN_DIR="$E2E_TMP/run"
  mkdir -p "$RUN_DIR"
  cp "$KELTO_RUN_DIR/kelto" "$RUN_DIR/"
  cp -r "$KELTO_RUN_DIR/picture" "$RUN_DIR/" 2>/dev/null || true
}

start_game() {
  (cd "$RUN_DIR" && exec ./kelto >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") &
  GAME_PID=$!
}

# Waits until the game's window is mapped; sets GAME_WINDOW.
wait_window() {
  local i
  for i in $(seq 1 100); do
    GAME_WINDOW=$(xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null | head -n 1 || true)
    [[ -n "$GAME_WINDOW" ]] && return 0
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window appeared: $(cat "$E2E_TMP/stderr")"
    sleep 0.05
  done
  fail "no game window after 5 s"
}

window_title() { xdotool getwindowname "$GAME_WINDOW"; }

# Waits for the game to end (at most $1 seconds); its exit status goes to GAME_STATUS.
wait_exit() {
  local limit=${1:-10} i
  for i in $(seq 1 $((limit * 20))); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
      GAME_STATUS=0
      wait "$GAME_PID" || GAME_STATUS=$?
      GAME_PID=
      return 0
    fi
    sleep 0.05
  done
  fail "the game did not end within $limit s"
}

# Screenshot of the client area (the window sits at the screen's top-left corner).
shot() {
  xwd -root -silent | convert xwd:- -crop 800x600+0+0 +repage "$1"
}

# "R G B" of a pixel in a screenshot.
pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 \
    -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info:
}

# Number of pixels that differ between two screenshots.
differing_pixels() {
  compare -metric AE "$1" "$2" null: 2>&1 || true
}

click_at() {
  xdotool mousemove --sync "$1" "$2"
  sleep 0.1
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
}

hold_key() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}
