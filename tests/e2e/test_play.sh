#!/usr/bin/env bash
# Menu to game and back through real X input: "Играть" enters the game, W A S D move the view,
# the left button fires, Esc returns to the menu, "back_to_game" resumes and "Exit" ends the game.
source "$(dirname "$0")/lib.sh"
start_display
make_run_dir
start_game
wait_window
sleep 0.5

# Brightness (red channel) of a pixel.
red() { pixel "$1" "$2" "$3" | cut -d' ' -f1; }

# How far the level moved on screen between two screenshots: the patch of the top-left walls and
# floor seen at the start is searched for in the second picture.
view_shift() { python3 "$(dirname "$0")/view_shift.py" "$1" "$2" 190 180 150 80; }

shot "$E2E_TMP/menu.png"
[[ "$(red "$E2E_TMP/menu.png" 600 400)" == 0 ]] || fail "the menu shows something of the game"
dark=0
for x in 132 136 140 144 148 152 156 160 164 168 172 176 180; do
  for y in 158 162 166 169; do
    (($(red "$E2E_TMP/menu.png" $x $y) < 25)) && dark=$((dark + 1))
  done
done
((dark > 3)) || fail "no label printed on the first button"

click_at 150 165
sleep 0.5
xdotool mousemove --sync 400 300
sleep 0.3
shot "$E2E_TMP/start.png"
[[ "$(red "$E2E_TMP/start.png" 600 400)" != 0 ]] || fail "no map after entering the game"
# At the start the level's top-left corner is at window (176, 172): left of it and above it the
# screen is black.
[[ "$(red "$E2E_TMP/start.png" 170 300)" == 0 && "$(red "$E2E_TMP/start.png" 300 166)" == 0 ]] ||
  fail "the level does not start at (176, 172)"
[[ "$(red "$E2E_TMP/start.png" 180 300)" != 0 && "$(red "$E2E_TMP/start.png" 300 176)" != 0 ]] ||
  fail "no level at (176, 172)"

# D and S walk right and down: the level moves left and up.
hold_key d 0.3
hold_key s 0.3
sleep 0.2
shot "$E2E_TMP/moved.png"
read -r dx dy <<<"$(view_shift "$E2E_TMP/start.png" "$E2E_TMP/moved.png")"
echo "after D and S the view moved by ($dx, $dy)"
((dx < 0 && dy < 0)) || fail "D and S did not move the view left and up: ($dx, $dy)"

# W and A walk back: the level moves right and down again.
hold_key w 0.3
hold_key a 0.3
sleep 0.2
shot "$E2E_TMP/back.png"
read -r bx by <<<"$(view_shift "$E2E_TMP/moved.png" "$E2E_TMP/back.png")"
echo "after W and A the view moved by ($bx, $by)"
((bx > 0 && by > 0)) || fail "W and A did not move the view right and down: ($bx, $by)"

# Fire straight down: bullets cross the strip below the player.
xdotool mousemove --sync 400 560
sleep 0.3
shot "$E2E_TMP/before_fire.png"
convert "$E2E_TMP/before_fire.png" -crop 12x200+394+345 +repage "$E2E_TMP/strip0.png"
xdotool mousedown 1
seen=0
for i in 1 2 3 4 5 6; do
  sleep 0.12
  shot "$E2E_TMP/fire$i.png"
  convert "$E2E_TMP/fire$i.png" -crop 12x200+394+345 +repage "$E2E_TMP/strip$i.png"
  (($(differing_pixels "$E2E_TMP/strip0.png" "$E2E_TMP/strip$i.png") > 10)) && seen=$((seen + 1))
done
xdotool mouseup 1
((seen > 0)) || fail "no bullet seen below the player while firing"

# Esc: back to the menu, whose first button now resumes the game.
hold_key Escape 0.1
sleep 0.4
shot "$E2E_TMP/menu2.png"
[[ "$(red "$E2E_TMP/menu2.png" 600 400)" == 0 ]] || fail "Esc did not return to the menu"
(($(red "$E2E_TMP/menu2.png" 280 154) > 20)) || fail "no wide back_to_game button"

click_at 250 165
sleep 0.4
shot "$E2E_TMP/resumed.png"
[[ "$(red "$E2E_TMP/resumed.png" 600 400)" != 0 ]] || fail "back_to_game did not resume"

hold_key Escape 0.1
sleep 0.4
click_at 150 285
wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || fail "Exit: status $GAME_STATUS"
echo ok
