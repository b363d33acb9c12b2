#!/usr/bin/env bash
# The real game on an X display: its window, the frame-rate title, and the two ways it is ended
# from outside.
source "$(dirname "$0")/lib.sh"
make_run_dir

# Without a display the game says so and fails, instead of running where nobody can see it.
(cd "$RUN_DIR" && env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 ./kelto >/dev/null 2>"$E2E_TMP/nodisplay") &&
  fail "the game ran without a display"
grep -q "Unable to open a window" "$E2E_TMP/nodisplay" || fail "no report: $(cat "$E2E_TMP/nodisplay")"

start_display

start_game
wait_window
[[ "$(window_title)" == "kelto" ]] || fail "first title is '$(window_title)'"
geometry=$(xwininfo -id "$GAME_WINDOW")
grep -q "Absolute upper-left X:  0" <<<"$geometry" || fail "window not at x 0: $geometry"
grep -q "Absolute upper-left Y:  0" <<<"$geometry" || fail "window not at y 0: $geometry"
grep -q "Width: 800" <<<"$geometry" || fail "client width: $geometry"
grep -q "Height: 600" <<<"$geometry" || fail "client height: $geometry"

# Within two seconds the title shows the measured frame rate. The first interval also counts the
# start-up, so the rate is judged on the next one: capped by the pacing at 1000 / 11.
title=
for i in $(seq 1 40); do
  title=$(window_title)
  [[ "$title" == " [ FPS - "* ]] && break
  sleep 0.05
done
[[ "$title" =~ ^\ \[\ FPS\ -\ ([0-9]+)\ \]\ $ ]] || fail "no frame-rate title within 2 s: '$title'"
sleep 1.1
title=$(window_title)
[[ "$title" =~ ^\ \[\ FPS\ -\ ([0-9]+)\ \]\ $ ]] || fail "frame-rate title lost: '$title'"
rate=${BASH_REMATCH[1]}
((rate >= 20 && rate <= 91)) || fail "frame rate $rate outside 20..91"
echo "frame rate $rate"

# The menu is on screen.
shot "$E2E_TMP/menu.png"
[[ "$(pixel "$E2E_TMP/menu.png" 150 165)" != "0 0 0" ]] || fail "no menu button drawn"

# A window manager's close request ends the game normally.
"$KELTO_XCLOSE" "$GAME_WINDOW"
wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || fail "close request: exit status $GAME_STATUS"
[[ -f "$RUN_DIR/score.txt" ]] || fail "no score file created"

# So does SIGTERM.
start_game
wait_window
sleep 0.3
kill -TERM "$GAME_PID"
wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || fail "SIGTERM: exit status $GAME_STATUS"
echo "ok"
