#!/usr/bin/env bash
# Demos. A game recorded through X input (walks, shots, a time field, Esc to the menu and back):
# kelto-replay and --play reach its "demo: N ticks, score S", and the played last frame stays until
# Esc. full_game.demo (the full-game route as the game recorded it) plays to the score scene while
# the player's own input is busy, leaving score.txt alone. A bad line is refused as kelto-replay does.
source "$(dirname "$0")/lib.sh"
replay=$KELTO_RUN_DIR/kelto-replay

start_display
make_run_dir

# --- Recording through X input ---
start_game --record "$E2E_TMP/played.demo"
wait_window
sleep 0.5
click_at 150 165
hold_key s 2.5 # down to the wall, level with the first enemy
xdotool mousemove --sync 600 300 mousedown 3 sleep 0.5 mouseup 3 # a time field to the right
xdotool mousedown 1 sleep 1 mouseup 1
hold_key Escape 0.1
sleep 0.3
click_at 250 165 # back_to_game
hold_key d 0.5
hold_key Escape 0.1
sleep 0.3
click_at 150 285 # Exit
wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || fail "recording: status $GAME_STATUS: $(cat "$E2E_TMP/stderr")"
recorded=$(cat "$E2E_TMP/stdout")
[[ "$recorded" =~ ^demo:\ [1-9][0-9]*\ ticks,\ score\ [0-9]+$ ]] || fail "recording printed '$recorded'"
[[ "$(demo_summary "$replay" "$E2E_TMP/played.demo")" == "$recorded" ]] ||
  fail "kelto-replay: '$(demo_summary "$replay" "$E2E_TMP/played.demo")', the recording: '$recorded'"

start_game --play "$E2E_TMP/played.demo"
wait_window
wait_summary 60
[[ "$SUMMARY" == "$recorded" ]] || fail "--play: '$SUMMARY', the recording: '$recorded'"
sleep 0.2
shot "$E2E_TMP/held1.png"
sleep 0.3
shot "$E2E_TMP/held2.png"
[[ $(differing_pixels "$E2E_TMP/held1.png" "$E2E_TMP/held2.png") == 0 ]] || fail "the last frame did not stay"
hold_key Escape 0.1 # to the menu, whose Exit ends the game
sleep 0.4
click_at 150 285
wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || fail "--play, Esc and Exit: status $GAME_STATUS"

# --- The full game played back, with the player's own input busy ---
route_demo=$(cd "$(dirname "$0")" && pwd)/full_game.demo
expected=$(demo_summary "$replay" "$route_demo")
rm -f "$RUN_DIR/score.txt"
start_game --play "$route_demo"
wait_window
xdotool mousemove --sync 700 100 keydown a mousedown 1
wait_summary 90
xdotool keyup a mouseup 1
[[ "$SUMMARY" == "$expected" ]] || fail "--play full_game.demo: '$SUMMARY', kelto-replay: '$expected'"
echo scene | python3 "$(dirname "$0")/full_game_route.py" serve "$E2E_TMP" >"$E2E_TMP/judge" ||
  fail "no answer from the judge"
[[ "$(cat "$E2E_TMP/judge")" == ok ]] || fail "score scene: $(cat "$E2E_TMP/judge") (see scene.xwd)"
"$KELTO_XCLOSE" "$GAME_WINDOW"
wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || fail "closing the window: status $GAME_STATUS"
[[ -f "$RUN_DIR/score.txt" && ! -s "$RUN_DIR/score.txt" ]] || fail "score.txt was changed by a played demo"

# --- A bad line ---
printf '# kelto demo 1\n400 300 0 0 87\n400 300 1 0 w\n' >"$E2E_TMP/bad.demo"
start_game --play "$E2E_TMP/bad.demo"
dismiss_error_box
wait_exit 10
[[ "$GAME_STATUS" == 1 ]] || fail "bad demo: status $GAME_STATUS"
refused=$({ "$replay" <"$E2E_TMP/bad.demo" 2>&1 >/dev/null || true; } | sed 's/^kelto-replay: /kelto: /')
[[ "$(cat "$E2E_TMP/stderr")" == "$refused" ]] || fail "bad demo: '$(cat "$E2E_TMP/stderr")', expected '$refused'"
pass "recorded and played '$recorded'; full_game.demo played '$SUMMARY'; a bad line refused"
