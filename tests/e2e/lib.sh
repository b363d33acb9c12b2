# Shared helpers for the end-to-end tests (and the Windows build's test under Wine): private X
# displays, a fresh run folder, the real game, real X input and screenshots. Source it; every
# helper fails the test loudly. A test may define e2e_before_displays_go to stop what it started on
# the displays (the Wine server) before they go.
set -euo pipefail

E2E_TMP=$(mktemp -d /tmp/kelto-e2e.XXXXXX)
XVFB_PIDS=()
GAME_PID=
GAME_WINDOW=
# Where the game's client area starts on the screen (Wine draws a frame around it).
CLIENT_X=0
CLIENT_Y=0

# Ends a process: politely, then for sure (a game held by an error box ignores SIGTERM).
stop_process() {
  local i
  kill "$1" 2>/dev/null || return 0
  for i in $(seq 1 40); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.05
  done
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

e2e_cleanup() {
  local status=$? pid
  [[ -n "$GAME_PID" ]] && stop_process "$GAME_PID"
  if declare -F e2e_before_displays_go >/dev/null; then
    e2e_before_displays_go || true
  fi
  for pid in "${XVFB_PIDS[@]}"; do
    stop_process "$pid"
  done
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
pass() { echo "ok - $*"; }

# Starts a private X server (extra arguments go to Xvfb) and points DISPLAY at it. Xvfb may
# announce a display number whose socket another server still holds; such a server dies at once,
# so it is checked and retried. No reset when the last client leaves: a game would find no display.
start_display() {
  local attempt fifo number pid
  for attempt in 1 2 3 4 5; do
    fifo="$E2E_TMP/display${#XVFB_PIDS[@]}-$attempt"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp -noreset "$@" 3>"$fifo" \
      2>>"$E2E_TMP/xvfb.log" &
    pid=$!
    number=
    read -r -t 10 number <"$fifo" || true
    if [[ -n "$number" ]] && kill -0 "$pid" 2>/dev/null &&
      xdpyinfo -display ":$number" >/dev/null 2>&1; then
      XVFB_PIDS+=("$pid")
      export DISPLAY=":$number"
      return 0
    fi
    stop_process "$pid"
    sleep 0.2
  done
  fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
}

# A run folder of our own: the game and its pictures, no score file unless a test writes one.
make_run_dir() {
  : "${KELTO_RUN_DIR:?set by ctest to the run folder of the build}"
  RUN_DIR="$E2E_TMP/run"
  mkdir -p "$RUN_DIR"
  cp "$KELTO_RUN_DIR/kelto" "$RUN_DIR/"
  cp -r "$KELTO_RUN_DIR/picture" "$RUN_DIR/" 2>/dev/null || true
}

# Starts the game in its run folder; extra arguments go to the game.
start_game() {
  (cd "$RUN_DIR" && exec ./kelto "$@" >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") &
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

# Waits (at most 30 s) for a visible window whose title matches $1 and prints its id; fails when
# the game ends first.
wait_window_named() {
  local i id
  for i in $(seq 1 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | awk 'NR == 1' || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    [[ -n "$GAME_PID" ]] && ! kill -0 "$GAME_PID" 2>/dev/null && return 1
    sleep 0.1
  done
  return 1
}

window_title() { xdotool getwindowname "$GAME_WINDOW"; }

# Waits for the game's error box (a window titled "Error") and closes it as a window manager
# would; fails when none appears within $1 seconds (default 10). SDL names the box in UTF-8 only,
# which xdotool's name search does not read.
dismiss_error_box() {
  local i box
  for i in $(seq 1 $((${1:-10} * 20))); do
    box=$(xwininfo -root -tree 2>/dev/null | awk '$2 == "\"Error\":" { print $1; exit }')
    if [[ -n "$box" ]]; then
      "$KELTO_XCLOSE" "$box"
      return 0
    fi
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended without an error box: $(cat "$E2E_TMP/stderr")"
    sleep 0.05
  done
  fail "no error box within ${1:-10} s"
}

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

# Screenshot of the 800 x 600 client area.
shot() {
  xwd -root -silent | convert xwd:- -crop "800x600+$CLIENT_X+$CLIENT_Y" +repage "$1"
}

# "R G B" of a pixel in a screenshot.
pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 \
    -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info:
}

# Number of pixels of a region (WxH+X+Y) that are darker than $3 in every channel.
dark_pixels() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- |
    awk -v limit="$3" 'NR > 1 { split($2, c, /[(),]/); if (c[2] < limit && c[3] < limit && c[4] < limit) n++ } END { print n + 0 }'
}

# Number of pixels that differ between two screenshots.
differing_pixels() {
  compare -metric AE "$1" "$2" null: 2>&1 || true
}

# Clicks at a point of the client area.
click_at() {
  xdotool mousemove --sync $((CLIENT_X + $1)) $((CLIENT_Y + $2))
  sleep 0.1
  xdotool mousedown 1
  sleep 0.15
  xdotool mouseup 1
}

# A key held long enough for frames to see it (a press and release between two frames is lost).
hold_key() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}

# "demo: N ticks, score S" of the last world kelto-replay ($1) prints for a demo ($2).
demo_summary() {
  "$1" <"$2" | awk '/^tick / { n = $2; s = $4 } /^game over / && $4 != s { s = "?" }
    END { print "demo: " n " ticks, score " s }'
}

# Waits (at most $1 s) for the game's demo line on standard output and puts it in SUMMARY.
wait_summary() {
  local i
  for i in $(seq 1 $(($1 * 10))); do
    SUMMARY=$(grep '^demo: ' "$E2E_TMP/stdout" || true)
    [[ -n "$SUMMARY" ]] && return 0
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended without a demo line: $(cat "$E2E_TMP/stderr")"
    sleep 0.1
  done
  fail "no demo line within $1 s"
}
