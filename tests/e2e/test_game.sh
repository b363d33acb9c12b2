#!/usr/bin/env bash
# Games through X input and demos: a recorded game played back by kelto-replay and --play, a whole
# recorded game (full_game.demo) played to the score scene while the player's own input is busy,
# then back to the menu and out, and a bad demo line.
source "$(dirname "$0")/lib.sh"
replay=$KELTO_RUN_DIR/kelto-replay
start_display
make_run_dir

# Walks (the keys of a Russian layout, then a French one), shots, a time field, Esc to the menu
# and back, recorded and played.
setxkbmap ru
start_game --record "$E2E_TMP/played.demo"
wait_window
expect_screen menu
click_at 150 165
hold_key Cyrillic_yeru 2.5                                        # down to the wall, by enemy 1
xdotool mousemove --sync 600 300 mousedown 3 sleep 0.5 mouseup 3 # a time field to the right
xdotool mousedown 1 sleep 1 mouseup 1
hold_key Escape 0.1
expect_screen menu
click_at 250 165 # back_to_game
setxkbmap fr
hold_key z 0.2 # on the place of W
hold_key w 0.2 # on the place of Z
hold_key d 0.5
"$KELTO_XCLOSE" "$GAME_WINDOW"
expect_exit 0
same "$(awk '$5 != "-" && $5 != k { printf "%s ", k = $5 }' "$E2E_TMP/played.demo")" \
  "83 27 90 87 68 " "the keys held by the recording"
recorded=$(cat "$E2E_TMP/stdout")
same "$(demo_summary "$replay" "$E2E_TMP/played.demo")" "$recorded" "kelto-replay of the recording"
start_game --play "$E2E_TMP/played.demo"
wait_window
wait_for 60 "demo line" demo_line
same "$SUMMARY" "$recorded" "--play of the recording"
"$KELTO_XCLOSE" "$GAME_WINDOW"
expect_exit 0

route_demo=$(realpath "$(dirname "$0")/full_game.demo")
: >"$RUN_DIR/score.txt"
start_game --play "$route_demo"
wait_window
xdotool mousemove --sync 700 100 keydown a mousedown 1
wait_for 90 "demo line" demo_line
xdotool keyup a mouseup 1
same "$SUMMARY" "$(demo_summary "$replay" "$route_demo")" "--play full_game.demo"
expect_screen scene
click_at 200 225 # back_to_menu
xdotool mousemove --sync 500 500
expect_screen menu 100
click_at 150 285 # Exit
expect_exit 0
[[ ! -s "$RUN_DIR/score.txt" ]] || fail "a played demo changed score.txt"

printf '# kelto demo 1\n400 300 0 0 87\n400 300 1 0 w\n' >"$E2E_TMP/bad.demo"
start_game --play "$E2E_TMP/bad.demo"
dismiss_error_box
expect_exit 1
same "$(cat "$E2E_TMP/stderr")" "$({ "$replay" <"$E2E_TMP/bad.demo" 2>&1 >/dev/null || true; } |
  sed 's/^kelto-replay: /kelto: /')" "the report of a bad demo line"
pass "recorded and played '$recorded'; full_game.demo played '$SUMMARY'; a bad line refused"
