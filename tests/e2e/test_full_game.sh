#!/usr/bin/env bash
# A whole game through X input from a start without score.txt: "Играть", a walk that destroys
# enemies 1, 4 and 5 and so ends the game, the score scene, "back_to_menu", "Exit". Every walk ends
# against a wall (checked in kelto-replay with every hold 0.8 to 3 times as long), each hold is
# scaled by the frame rate in the title and a key is let go only once the view stands still, so a
# busy machine only makes the walks longer. Screen dumps and steps.log stay in the test's folder
# when it fails.
source "$(dirname "$0")/lib.sh"
route="$(dirname "$0")/full_game_route.py"
python3 "$route" steps >"$E2E_TMP/route.log"
predicted=$(sed -n 's/^predicted score //p' "$E2E_TMP/route.log")
mapfile -t steps < <(grep -E '^(move|volley) ' "$E2E_TMP/route.log")
started=$SECONDS
start_display
make_run_dir
start_game
wait_window
# One judge of the screen for the whole test, since a busy machine makes every start-up slow.
coproc JUDGE { python3 -u "$route" serve "$E2E_TMP"; }

# Asks the judge $1 (still, menu, game or scene); the answer goes to ANSWER.
ask() {
  echo "$1" >&"${JUDGE[1]}"
  read -r -t 60 ANSWER <&"${JUDGE[0]}" || fail "no answer from the judge"
  echo "$1: $ANSWER" >>"$E2E_TMP/steps.log"
}
expect_screen() { ask "$1" && [[ "$ANSWER" == ok ]] || fail "$1: $ANSWER (see $1.xwd)"; }

# Sets HOLD to the seconds of $1 ticks times $2 at the frame rate in the title (90 before the
# first count, and at most 90, about what the pacing allows).
hold_for() {
  local rate=90
  [[ "$(window_title 2>/dev/null)" =~ ^\ \[\ FPS\ -\ ([0-9]+)\ \]\ $ ]] && rate=${BASH_REMATCH[1]}
  ((rate <= 90)) || rate=90
  ((rate >= 15)) || fail "the game runs at $rate frames per second, too slow to steer"
  HOLD=$(awk -v t="$1" -v f="$2" -v r="$rate" 'BEGIN { printf "%.3f", t * f / r }')
  echo "$step: $rate frames per second, $HOLD s" >>"$E2E_TMP/steps.log"
}

# A walk slides the whole level by 3 pixels a tick; a player held against a wall sees only its
# neighbours move, a few dozen of the window's 1900 blocks.
view_still() { ask still && ((ANSWER < 250)); }

expect_screen menu
click_at 150 165
expect_screen game
for step in "${steps[@]}"; do
  read -r kind a b c <<<"$step"
  if [[ "$kind" == move ]]; then
    hold_for "$b" 0.8 # the replay proves that 0.8 of the hold reaches the wall
    xdotool keydown "$a"
    if [[ "$step" == "${steps[0]}" ]]; then
      sleep 0.2 # the view must be seen scrolling once, or "still" would prove nothing
      ! view_still || fail "the view did not scroll while '$a' was held (steps.log)"
    fi
    sleep "$HOLD"
    for checks in $(seq 1 20); do
      view_still && break
      ((checks < 20)) || fail "the view kept moving during '$step' (steps.log)"
    done
    xdotool keyup "$a"
  else
    xdotool mousemove --sync "$a" "$b"
    sleep 0.05
    hold_for "$c" 1.25 # two shots need 22 ticks; a quarter more covers a dropping frame rate
    xdotool mousedown 1
    sleep "$HOLD"
    xdotool mouseup 1
  fi
  sleep 0.05
done

# The score scene has saved the table once: this game's score, then the nine zeros of the new
# file, in CR LF lines. Neither its later frames, the menu nor the exit write it again.
expect_screen scene
expected=$(printf '%s\r\n' "$predicted" 0 0 0 0 0 0 0 0 0 | od -c)
[[ "$(od -c <"$RUN_DIR/score.txt")" == "$expected" ]] ||
  fail "score.txt is not '$predicted' and nine zeros in CR LF lines: $(od -c "$RUN_DIR/score.txt")"
saved=$(stat -c '%i %y' "$RUN_DIR/score.txt")
click_at 200 225
xdotool mousemove --sync 500 500
expect_screen menu
click_at 150 285
wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || fail "Exit: status $GAME_STATUS"
[[ "$(stat -c '%i %y' "$RUN_DIR/score.txt")" == "$saved" ]] || fail "score.txt was saved again"
echo "ok: played in $((SECONDS - started)) s, score $predicted"
