#!/usr/bin/env bash
# A whole game through real X input: with no score file the game creates one; "Играть" starts the
# game; W A S D and the mouse walk the player to three firing spots and shoot enemies 1, 4 and 5,
# the ones it can walk up to; with the last of them destroyed the score scene shows the table and
# the score; "back_to_menu" leads to a fresh menu; "Exit" ends the program, which leaves the score
# in score.txt.
#
# The route comes from full_game_route.py, which first proves it headless with kelto-replay: every
# walk ends against a wall, so holds that are too long change nothing. Here each hold is scaled by
# the frame rate the game reports in its title, and a key is let go only once the view has stopped
# scrolling, so a busy machine only makes the walks longer. Screenshots and steps.log (rates,
# holds, view checks) stay in the test's folder when it fails.
source "$(dirname "$0")/lib.sh"
route="$(dirname "$0")/full_game_route.py"
replay="$KELTO_RUN_DIR/kelto-replay"
[[ -x "$replay" ]] || fail "no kelto-replay in $KELTO_RUN_DIR"
started=$SECONDS

python3 "$route" verify "$replay" >"$E2E_TMP/route.log" 2>&1 ||
  fail "the route does not hold up in kelto-replay: $(cat "$E2E_TMP/route.log")"
predicted=$(sed -n 's/^predicted score \([0-9]*\)$/\1/p' "$E2E_TMP/route.log")
[[ -n "$predicted" ]] || fail "no predicted score: $(cat "$E2E_TMP/route.log")"
mapfile -t steps < <(python3 "$route" steps)
verified=$SECONDS

start_display
make_run_dir
[[ ! -e "$RUN_DIR/score.txt" ]] || fail "the run folder already has a score file"
start_game
wait_window
sleep 0.5
[[ -f "$RUN_DIR/score.txt" && ! -s "$RUN_DIR/score.txt" ]] || fail "no empty score.txt after start-up"

# HOLD: seconds for $1 ticks times $2 at the frame rate in the title (the count of the last
# second; 90 before the first count and at most 90, about what the pacing allows).
hold_for() {
  local title rate=90
  title=$(xdotool getwindowname "$GAME_WINDOW" 2>/dev/null || true)
  [[ "$title" =~ ^\ \[\ FPS\ -\ ([0-9]+)\ \]\ $ ]] && rate=${BASH_REMATCH[1]}
  ((rate > 90)) && rate=90
  ((rate >= 15)) || fail "the game runs at $rate frames per second, too slow to steer"
  HOLD=$(awk -v ticks="$1" -v factor="$2" -v rate="$rate" \
    'BEGIN { printf "%.3f", ticks * factor / rate }')
  echo "$step: $rate frames per second, $HOLD s" >>"$E2E_TMP/steps.log"
}

# Counts, for two screen dumps named on a line of its input, the window's 16 x 16 blocks that
# differ. One process for the whole test: a busy machine makes every start-up slow.
coproc BLOCK_COUNTER {
  python3 -u -c '
import sys
# A dump ends with the 1024 x 768 screen, 4 bytes a pixel; the window is its top-left 800 x 600.
size = 1024 * 768 * 4
for line in sys.stdin:
    first, second = (open(name, "rb").read()[-size:] for name in line.split())
    blocks = set()
    for y in range(600):
        a, b = first[y * 4096:y * 4096 + 3200], second[y * 4096:y * 4096 + 3200]
        if a != b:
            blocks.update((y // 16, x) for x in range(50) if a[x * 64:x * 64 + 64] != b[x * 64:x * 64 + 64])
    print(len(blocks))
'
}

# Succeeds when the view does not scroll: few of the window's 1900 blocks differ between two
# screen dumps a moment apart. While the player walks, the whole textured level slides by 3
# pixels a tick; a player held against a wall sees only its neighbours move (turrets, bullets,
# lightning), a few dozen blocks.
view_still() {
  xwd -root -silent >"$E2E_TMP/still1.xwd"
  sleep 0.1
  xwd -root -silent >"$E2E_TMP/still2.xwd"
  echo "$E2E_TMP/still1.xwd $E2E_TMP/still2.xwd" >&"${BLOCK_COUNTER[1]}"
  read -r -t 30 BLOCKS <&"${BLOCK_COUNTER[0]}" || fail "no answer from the block counter"
  echo "$step: $BLOCKS of 1900 blocks changed" >>"$E2E_TMP/steps.log"
  ((BLOCKS < 250))
}

# Count of pixels brighter than $6 (red channel, 0..255) in the box $2 x $3 at ($4, $5).
lit() {
  convert "$1" -crop "$2x$3+$4+$5" +repage -channel R -separate -threshold "$(($6 * 100 / 255))%" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# The menu is up once its first button is drawn.
for _ in $(seq 1 25); do
  shot "$E2E_TMP/menu0.png"
  [[ "$(pixel "$E2E_TMP/menu0.png" 150 154)" != "0 0 0" ]] && break
  sleep 0.2
done
click_at 150 165
sleep 0.3
shot "$E2E_TMP/start.png"
[[ "$(pixel "$E2E_TMP/start.png" 600 400)" != "0 0 0" ]] || fail "no map after clicking Играть"

volley=0
walk_start=$SECONDS
for step in "${steps[@]}"; do
  read -r kind a b c <<<"$step"
  if [[ "$kind" == move ]]; then
    # The replay proves that 0.8 of the route's hold reaches the wall; the key then stays down
    # until the view has stopped scrolling, however slowly the game runs meanwhile.
    hold_for "$b" 0.8
    xdotool keydown "$a"
    if [[ "$step" == "${steps[0]}" ]]; then
      # Early in the first walk the view must be seen scrolling, or "still" would prove nothing.
      sleep 0.2
      if view_still; then
        fail "the view did not scroll while '$a' was held (steps.log)"
      fi
    fi
    sleep "$HOLD"
    checks=0
    until view_still; do
      checks=$((checks + 1))
      ((checks < 20)) || fail "the view kept moving during '$step' (steps.log)"
    done
    xdotool keyup "$a"
    sleep 0.05
  else
    volley=$((volley + 1))
    xdotool mousemove --sync "$a" "$b"
    sleep 0.05
    shot "$E2E_TMP/volley$volley.png"
    # Two shots need 22 ticks of the button; the route's hold is twice that and a quarter more
    # here covers a frame rate that drops during the volley.
    hold_for "$c" 1.25
    xdotool mousedown 1
    sleep "$HOLD"
    xdotool mouseup 1
    sleep 0.05
  fi
done
walked=$SECONDS

# The last volley's second bullet is on its way; then the score scene replaces the level.
scene=
for _ in $(seq 1 30); do
  sleep 0.2
  shot "$E2E_TMP/score.png"
  if [[ "$(pixel "$E2E_TMP/score.png" 600 500)" == "0 0 0" ]] &&
    (($(lit "$E2E_TMP/score.png" 300 600 500 0 0) == 0)); then
    scene=score
    break
  fi
done
[[ "$scene" == score ]] || fail "no score scene after the route (last screen in score.png)"
# Let the scene settle for a frame or two before judging it.
sleep 0.2
shot "$E2E_TMP/score.png"
png="$E2E_TMP/score.png"

# "BEST_SCORE" from (320, 90); the button's rectangle 110-290 x 210-240; the ten table entries
# at x 350 on the baselines 125, 150, ..., 350; "You_Score: N" from (320, 400). Text is drawn in
# the current colour modulated by the bound texture, so "lit" means a red channel above 60.
convert "$png" -depth 8 "rgb:$E2E_TMP/score.rgb"
python3 - "$E2E_TMP/score.rgb" <<'PY' || fail "the score scene is not as expected (score.png)"
import sys

# The 800 x 600 pixels, row by row, 3 bytes each.
width = 800
pixels = open(sys.argv[1], "rb").read()
assert len(pixels) == width * 600 * 3, len(pixels)


def red(x, y):
    return pixels[(y * width + x) * 3]


def lit(x0, y0, x1, y1, level=60):
    """Pixels of the box x0..x1 x y0..y1 (inclusive) brighter than level."""
    return sum(1 for y in range(y0, y1 + 1) for x in range(x0, x1 + 1) if red(x, y) > level)


def glyph(x0, y0, x1, y1):
    """The lit pixels of a box, relative to their own top-left corner: a shape to compare."""
    points = [(x, y) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1) if red(x, y) > 60]
    if not points:
        return frozenset()
    left, top = min(x for x, _ in points), min(y for _, y in points)
    return frozenset((x - left, y - top, red(x, y)) for x, y in points)


faults = []
if lit(318, 68, 437, 95) < 60:
    faults.append("no BEST_SCORE title at (320, 90)")
if lit(318, 97, 437, 107, 30):
    faults.append("something between the title and the table")
if red(280, 215) == 0 or red(115, 235) == 0:
    faults.append("no back_to_menu button over 110-290 x 210-240")
if red(300, 225) or red(105, 225) or red(200, 205) or red(200, 245):
    faults.append("the button reaches beyond 110-290 x 210-240")
entries = []
for i in range(1, 11):
    baseline = 100 + 25 * i
    if lit(348, baseline - 17, 363, baseline + 2) < 8:
        faults.append(f"no table entry {i} at (350, {baseline})")
    entries.append(glyph(348, baseline - 17, 363, baseline + 2))
if lit(318, 380, 517, 406) < 60:
    faults.append("no You_Score line at (320, 400)")
# Entries 2 to 10 are one number (0) and entry 1, this game's score, is another.
if any(entry != entries[1] for entry in entries[2:]):
    faults.append("table entries 2 to 10 are not all the same")
if entries[0] == entries[1]:
    faults.append("the first table entry looks like the others: no score entered")
# The score after "You_Score: " is the first entry: its glyph ends the line.
right = max((x for x in range(318, 600) for y in range(380, 407) if red(x, y) > 60), default=None)
if right is None or glyph(right - 15, 383, right, 402) != entries[0]:
    faults.append("the score after You_Score differs from the first table entry")
# Nothing else: no level, no units.
if lit(0, 0, 799, 599, 0) != lit(318, 68, 437, 95, 0) + lit(105, 210, 295, 240, 0) + \
        lit(348, 106, 363, 354, 0) + lit(318, 380, 599, 406, 0):
    faults.append("pixels lit outside the title, the button, the table and the score line")
for fault in faults:
    print("FAULT: " + fault, file=sys.stderr)
sys.exit(1 if faults else 0)
PY

# The score scene has saved the table: this game's score first, then the nine zeros of the
# empty table, in CR LF lines. It saves once: the file is not replaced again later.
expected=$(printf '%s\r\n' "$predicted" 0 0 0 0 0 0 0 0 0 | od -c)
[[ "$(od -c <"$RUN_DIR/score.txt")" == "$expected" ]] ||
  fail "score.txt after the score scene is not '$predicted' and nine zeros in CR LF lines:" \
    "$(od -c "$RUN_DIR/score.txt")"
saved=$(stat -c '%i %y' "$RUN_DIR/score.txt")

# back_to_menu: a new game is set up and the first button reads "Играть" again: it is 100 wide
# (a "back_to_game" button would be 180 wide and cover x 250) and its label, printed black from
# x 130, ends within it.
click_at 200 225
sleep 0.3
xdotool mousemove --sync 500 500
sleep 0.2
shot "$E2E_TMP/menu.png"
[[ "$(pixel "$E2E_TMP/menu.png" 600 400)" == "0 0 0" ]] || fail "no menu after back_to_menu"
[[ "$(pixel "$E2E_TMP/menu.png" 150 154)" != "0 0 0" ]] || fail "no first menu button"
[[ "$(pixel "$E2E_TMP/menu.png" 250 154)" == "0 0 0" ]] || fail "the first menu button is wide"
(($(lit "$E2E_TMP/menu.png" 40 400 400 100 1) == 0)) || fail "the menu shows something of the score scene"
label=$(convert "$E2E_TMP/menu.png" -crop 96x26+112+152 +repage -negate -threshold 90% -trim \
  -format '%w %[fx:page.x + 112] %[fx:page.x + w + 112]' info:)
read -r width from to <<<"$label"
((width > 40 && from >= 128 && from <= 134 && to < 208)) ||
  fail "no Играть label on the first menu button (dark pixels: $label)"

click_at 150 285
wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || fail "Exit: status $GAME_STATUS"

# The file is the one the score scene saved, untouched by the menu and the exit.
[[ "$(stat -c '%i %y' "$RUN_DIR/score.txt")" == "$saved" ]] || fail "score.txt was saved again"
[[ "$(od -c <"$RUN_DIR/score.txt")" == "$expected" ]] ||
  fail "score.txt changed after the score scene: $(od -c "$RUN_DIR/score.txt")"
score=$(head -n 1 "$RUN_DIR/score.txt" | tr -d '\r')
echo "route checked in $((verified - started)) s and walked in $((walked - walk_start)) s;" \
  "whole test $((SECONDS - started)) s; score $score"
echo ok
