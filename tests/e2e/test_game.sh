#!/usr/bin/env bash
# Whole games through X input, and demos: a game to the score scene, a recorded game played back
# by kelto-replay and --play, full_game.demo (that game as the game recorded it) played while the
# player's own input is busy, and a bad demo line.
source "$(dirname "$0")/lib.sh"
replay=$KELTO_RUN_DIR/kelto-replay
start_display
make_run_dir

# "move KEY TICKS": a walk to the wall noted (kelto-replay shows that every hold 0.8 to 3 times
# as long ends there). "volley X Y TICKS": the button held with the pointer at (X, Y), the player
# being at (400, 300) of the window; a shot leaves on its first tick and every 21 after it.
steps=("move s 145" "volley 600 300 40" # wall at (224, 416), enemy 1
  "move d 130" "move w 160" "move d 195"  # (482, 416), (482, 95), (866, 95)
  "volley 400 500 40"                     # enemy 4
  "move s 160" "move a 70" "move w 70"    # (866, 416), (734, 416), (734, 287)
  "move a 70" "move s 130" "move d 290"   # (605, 287), (605, 545), (1184, 545)
  "volley 400 100 40")                    # enemy 5
# Sets HOLD to the seconds of $1 ticks times $2 at the frame rate in the title (at most 90, about
# what the pacing allows), so that a busy machine only makes the walks longer.
hold_for() {
  local rate=90
  [[ "$(window_title)" =~ FPS\ -\ ([0-9]+) ]] && ((BASH_REMATCH[1] < 90)) && rate=${BASH_REMATCH[1]}
  ((rate >= 15)) || fail "the game runs at $rate frames per second, too slow to steer"
  HOLD=$(awk -v t="$1" -v f="$2" -v r="$rate" 'BEGIN { printf "%.3f", t * f / r }')
  echo "$step: $rate frames per second, $HOLD s" >>"$E2E_TMP/steps.log"
}
# A key is let go once the view stands still: a walk slides the whole level, but against a wall
# only a few dozen of the window's 1900 blocks of 16 x 16 pixels change in 0.1 s.
view_still() {
  xwd -root -silent -out "$E2E_TMP/1.xwd" && sleep 0.1 && xwd -root -silent -out "$E2E_TMP/2.xwd"
  (($(convert "$E2E_TMP"/[12].xwd -crop 800x600+0+0 +repage -compose difference -composite \
    -threshold 0 -colorspace gray -threshold 0 -background black -extent 800x608 -scale 50x38! \
    -threshold 0 -format '%[fx:round(mean * w * h)]' info:) < 250))
}
# From a start without score.txt: "Играть", the walk that destroys enemies 1, 4 and 5 and so ends
# the game, the score scene that saves once, "back_to_menu" and "Exit".
start_game
wait_window
expect_screen menu 100
click_at 150 165
expect_screen game
for step in "${steps[@]}"; do
  read -r kind a b c <<<"$step"
  if [[ "$kind" == move ]]; then
    hold_for "$b" 0.8
    xdotool keydown "$a" sleep "$HOLD"
    wait_for 20 "stop against the wall during '$step'" view_still
    xdotool keyup "$a"
  else
    hold_for "$c" 1.25 # two shots need 22 ticks; a quarter more covers a dropping frame rate
    xdotool mousemove --sync "$a" "$b" sleep 0.05 mousedown 1 sleep "$HOLD" mouseup 1
  fi
  sleep 0.05
done
# This game's score, then the nine zeros of the new file, in CR LF lines; not saved again by the
# scene's later frames, the menu or the exit.
expect_screen scene
same "$(od -c <"$RUN_DIR/score.txt")" "$(printf '%s\r\n' 6 0 0 0 0 0 0 0 0 0 | od -c)" score.txt
saved=$(stat -c '%i %y' "$RUN_DIR/score.txt")
click_at 200 225
xdotool mousemove --sync 500 500
expect_screen menu 100
click_at 150 285
expect_exit 0
same "$(stat -c '%i %y' "$RUN_DIR/score.txt")" "$saved" "score.txt's inode and time"
pass "a whole game to the score 6"

# Walks, shots, a time field, Esc to the menu and back, recorded and played.
start_game --record "$E2E_TMP/played.demo"
wait_window
expect_screen menu
click_at 150 165
hold_key s 2.5                                                    # down to the wall, by enemy 1
xdotool mousemove --sync 600 300 mousedown 3 sleep 0.5 mouseup 3 # a time field to the right
xdotool mousedown 1 sleep 1 mouseup 1
hold_key Escape 0.1
expect_screen menu
click_at 250 165 # back_to_game
hold_key d 0.5
"$KELTO_XCLOSE" "$GAME_WINDOW"
expect_exit 0
recorded=$(cat "$E2E_TMP/stdout")
[[ "$recorded" =~ ^demo:\ [1-9][0-9]*\ ticks,\ score\ [0-9]+$ ]] || fail "recorded '$recorded'"
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
"$KELTO_XCLOSE" "$GAME_WINDOW"
expect_exit 0
[[ ! -s "$RUN_DIR/score.txt" ]] || fail "a played demo changed score.txt"

printf '# kelto demo 1\n400 300 0 0 87\n400 300 1 0 w\n' >"$E2E_TMP/bad.demo"
start_game --play "$E2E_TMP/bad.demo"
dismiss_error_box
expect_exit 1
same "$(cat "$E2E_TMP/stderr")" "$({ "$replay" <"$E2E_TMP/bad.demo" 2>&1 >/dev/null || true; } |
  sed 's/^kelto-replay: /kelto: /')" "the report of a bad demo line"
pass "recorded and played '$recorded'; full_game.demo played '$SUMMARY'; a bad line refused"
