# Helpers of the end-to-end tests and of the Windows build's test under Wine: private X displays,
# a run folder, the real game, real X input and screenshots. Every helper fails the test loudly. A
# test may define e2e_before_displays_go to stop what it runs on the displays before they go.
set -euo pipefail
# A sound device that plays nowhere, unless a test asks for another: every machine has it.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

E2E_TMP=$(mktemp -d /tmp/kelto-e2e.XXXXXX)
XVFB_PIDS=()
GAME_PID=
GAME_WINDOW=
LAUNCH=(./kelto) # the game's command in RUN_DIR
CLIENT_X=0 CLIENT_Y=0 # where the game's client area starts on the screen (Wine frames it)
BLACK='r + g + b == 0'
GREY='r == g && g == b && r >= 30 && r <= 80' # an idle button

fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok - $*"; }
same() { [[ "$1" == "$2" ]] || fail "$3: '$1', expected '$2'"; }

# Ends a process: politely, then for sure (a hung process may not heed SIGTERM).
stop_process() {
  kill "$1" 2>/dev/null || return 0
  timeout 2 tail --pid="$1" -f /dev/null || kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

e2e_cleanup() {
  local status=$? pid
  [[ -z "$GAME_PID" ]] || stop_process "$GAME_PID"
  ! declare -F e2e_before_displays_go >/dev/null || e2e_before_displays_go || true
  for pid in "${XVFB_PIDS[@]}"; do stop_process "$pid"; done
  ((status != 0)) || rm -rf "$E2E_TMP"
  ((status == 0)) || echo "e2e: failed; files kept in $E2E_TMP" >&2
  exit $status
}
trap e2e_cleanup EXIT

# Runs the command after $1 and $2 until it succeeds; fails after $1 seconds, naming $2.
wait_for() {
  local end=$((SECONDS + $1)) what=$2
  shift 2
  until "$@"; do
    ((SECONDS < end)) || fail "no $what: $(tail -c 999 "$E2E_TMP/stderr" 2>/dev/null)"
    sleep 0.05
  done
}

# Starts a private X server (extra arguments go to Xvfb) and points DISPLAY at it. A display number
# whose socket another server still holds makes the new server die at once: retried. No reset when
# the last client leaves, or a game started then finds no display.
start_display() {
  local attempt pid
  for attempt in 1 2 3 4 5; do
    : >"$E2E_TMP/display"
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp -noreset "$@" \
      3>"$E2E_TMP/display" 2>>"$E2E_TMP/xvfb.log" &
    pid=$!
    XVFB_PIDS+=("$pid")
    wait_for 10 "X display" eval 'grep -q . "$E2E_TMP/display" || ! kill -0 $pid 2>/dev/null'
    export DISPLAY=:$(cat "$E2E_TMP/display")
    kill -0 "$pid" 2>/dev/null && xdpyinfo >/dev/null 2>&1 && return 0
  done
  fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
}

# A run folder of our own: the game, its pictures and sounds, no score file unless a test writes one.
make_run_dir() {
  RUN_DIR="$E2E_TMP/run"
  mkdir -p "$RUN_DIR"
  cp -r "$KELTO_RUN_DIR/kelto" "$KELTO_RUN_DIR/picture" "$KELTO_RUN_DIR/sound" "$RUN_DIR/"
}

start_game() {
  (cd "$RUN_DIR" && exec "${LAUNCH[@]}" "$@" >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") &
  GAME_PID=$!
}

game_window() { GAME_WINDOW=$(xdotool search --onlyvisible --pid "$GAME_PID" | head -n 1); }
wait_window() { wait_for 10 "game window" game_window; }
window_title() { xdotool getwindowname "$GAME_WINDOW"; }
fps_title() { [[ "$(window_title)" =~ ^\ \[\ FPS\ -\ [0-9]+\ \]\ $ ]]; }
# "X,Y WxH" of the game's window.
window_geometry() {
  xdotool getwindowgeometry "$GAME_WINDOW" | awk 'NR > 1 { printf "%s%s", s, $2; s = " " }'
}
geometry_is() { [[ "$(window_geometry)" == "$1" ]]; }

# Closes the game's error box as a window manager would. SDL names the box in UTF-8 only, which
# xdotool's name search does not read.
error_box() { BOX=$(xwininfo -root -tree | awk '$2 == "\"Error\":" { print $1 }') && [[ $BOX ]]; }
dismiss_error_box() { wait_for 10 "error box" error_box && "$KELTO_XCLOSE" "$BOX"; }

# Waits for the game to end within $2 seconds (default 10) with exit status $1.
gone() { ! kill -0 "$GAME_PID" 2>/dev/null; }
expect_exit() {
  local status=0
  wait_for "${2:-10}" "end of the game" gone
  wait "$GAME_PID" || status=$?
  GAME_PID=
  same "$status" "$1" "exit status ($(tail -c 999 "$E2E_TMP/stderr"))"
}

# Screenshot of the client area ($2 for another part of the screen).
shot() { xwd -root -silent | convert xwd:- -crop "${2:-800x600+$CLIENT_X+$CLIENT_Y}" +repage "$1"; }

# Number of pixels of a region (WxH+X+Y) of a screenshot whose r, g and b meet the condition $3.
count_pixels() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- | awk 'NR > 1 { split($2, c, /[(),]/);
    r = c[2]; g = c[3]; b = c[4]; if ('"$3"') n++ } END { print n + 0 }'
}
pixel_is() { (($(count_pixels "$1" "1x1+$2+$3" "$4") == 1)); }

# What the client area shows: the menu ("Exit", and with $2 the first button idle, $2 wide: 100
# for "Играть", 180 for "back_to_game", with its label); the level; or the score scene with
# its title, the game's score line and the "back_to_menu" button.
is_menu() {
  pixel_is "$1" 114 274 'r == g && g == b && r >= 30' && pixel_is "$1" 500 400 "$BLACK" || return 1
  [[ -z ${2:-} ]] && return 0
  pixel_is "$1" 114 154 "$GREY" && pixel_is "$1" $((104 + $2)) 176 "$GREY" &&
    pixel_is "$1" $((112 + $2)) 154 "$BLACK" && (($(count_pixels "$1" 90x24+114+153 'r < 20') > 20))
}
is_game() { ! pixel_is "$1" 600 400 "$BLACK"; }
is_scene() {
  pixel_is "$1" 115 212 "$GREY" && pixel_is "$1" 600 500 "$BLACK" &&
    (($(count_pixels "$1" 120x28+318+68 'r > 60') > 60)) &&
    (($(count_pixels "$1" 140x27+318+380 'r > 60') > 60))
}
# Waits (at most 10 s) until the client area shows $1 (menu, game or scene).
screen_is() { shot "$E2E_TMP/$1.png" && "is_$1" "$E2E_TMP/$1.png" "${@:2}"; }
expect_screen() { wait_for 10 "$1 on the screen (see $1.png)" screen_is "$@"; }

click_at() {
  xdotool mousemove --sync $((CLIENT_X + $1)) $((CLIENT_Y + $2)) sleep 0.1 mousedown 1 \
    sleep 0.15 mouseup 1
}
# A key held long enough for frames to see it (a press and release between two frames is lost).
hold_key() { xdotool keydown "$1" sleep "$2" keyup "$1"; }

# The game's "demo: N ticks, score S" line goes to SUMMARY.
demo_line() { SUMMARY=$(grep '^demo: ' "$E2E_TMP/stdout"); }
# The same line for the last world kelto-replay ($1) prints for a demo ($2).
demo_summary() {
  "$1" <"$2" | awk '/^tick / { n = $2; s = $4 } /^game over / && $4 != s { s = "?" }
    END { print "demo: " n " ticks, score " s }'
}

# On a W x H screen ($1, $2) where the game has just gone fullscreen: the window covers the
# screen, the view is scaled and centred between black bars, a click on the scaled "Играть"
# enters the game, and the key $3 gives back the window at $4.
fullscreen_round() {
  local W=$1 H=$2 vw vh ox oy CLIENT_X=0 CLIENT_Y=0
  if ((W * 600 <= H * 800)); then vw=$W vh=$((W * 600 / 800)); else vw=$((H * 800 / 600)) vh=$H; fi
  ox=$(((W - vw) / 2)) oy=$(((H - vh) / 2))
  at() { echo $((ox + $1 * vw / 800)) $((oy + $2 * vh / 600)); }
  wait_for 5 "fullscreen window at $W x $H" geometry_is "0,0 ${W}x$H"
  # The click, repeated until the game has seen its new size, and the level's left edge at x 176
  # of the view.
  scaled_game() {
    click_at $(at 160 170)
    shot "$E2E_TMP/game.png" "${W}x$H+0+0" && ! pixel_is "$E2E_TMP/game.png" $(at 182 300) "$BLACK"
  }
  wait_for 5 "game after a click on the scaled button at $W x $H" scaled_game
  pixel_is "$E2E_TMP/game.png" $(at 170 300) "$BLACK" || fail "$W x $H: the view is not scaled"
  ((ox + oy == 0)) || pixel_is "$E2E_TMP/game.png" $((ox ? (W + ox + vw) / 2 : W / 2)) \
    $((oy ? (H + oy + vh) / 2 : H / 2)) "$BLACK" || fail "$W x $H: no black bar"
  xdotool key "$3"
  wait_for 5 "window back at $4 after $3" geometry_is "$4"
}
