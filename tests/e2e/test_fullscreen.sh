#!/usr/bin/env bash
# Fullscreen on wide, tall and small screens and back; then buttons in a resized window.
source "$(dirname "$0")/lib.sh"
make_run_dir

red() { pixel "$1" "$2" "$3" | cut -d' ' -f1; }
screen() { xwd -root -silent | convert xwd:- "$E2E_TMP/$1.png"; }
window_is() { [[ $(xdotool getwindowgeometry "$GAME_WINDOW" | tr -d '\n ') == *Position:0,0*Geometry:$1 ]]; }

# Started with --fullscreen and left with F11, or Alt+Enter both ways.
for run in "1024 768 F11" "1920 1080 alt+Return" "1280 1024 alt+Return" "640 480 F11"; do
  read -r W H key <<<"$run"
  E2E_SCREEN=${W}x${H}x24 start_display
  # The fitted view's size and corner, and a point of the view in screen pixels.
  if ((W * 600 <= H * 800)); then vw=$W vh=$((W * 600 / 800)); else vw=$((H * 800 / 600)) vh=$H; fi
  ox=$(((W - vw) / 2)) oy=$(((H - vh) / 2))
  at() { echo $((ox + $1 * vw / 800)) $((oy + $2 * vh / 600)); }
  start_game $([[ $key == F11 ]] && echo --fullscreen)
  wait_window
  sleep 0.5
  [[ $key == F11 ]] || xdotool key "$key"
  sleep 0.5
  window_is "${W}x$H" || fail "$W x $H: not fullscreen: $(xdotool getwindowgeometry "$GAME_WINDOW")"
  screen menu
  # The first button, 110..210 x 150..180 in the view, with its label (dark pixels on the grey).
  read -r x0 y0 x1 y1 <<<"$(at 112 152) $(at 208 178)"
  label=$(dark_pixels "$E2E_TMP/menu.png" $((x1 - x0))x$((y1 - y0))+$x0+$y0 20)
  (($(red "$E2E_TMP/menu.png" $(at 200 155)) > 30 && label > 20)) ||
    fail "$W x $H: no scaled button with its label"
  click_at $(at 160 170)
  sleep 0.5
  screen game
  # The game, the level's top-left corner at (176, 172) of the scaled view; the level goes on
  # past the view's right and lower edges, but the bars there stay black.
  [[ $(red "$E2E_TMP/game.png" $(at 170 300)) == 0 && $(red "$E2E_TMP/game.png" $(at 182 300)) != 0 ]] ||
    fail "$W x $H: the click on the scaled button did not enter the game, or its view is not scaled"
  ((ox + oy == 0)) || [[ $(red "$E2E_TMP/game.png" $((ox ? (W + ox + vw) / 2 : W / 2)) \
    $((oy ? (H + oy + vh) / 2 : H / 2))) == 0 ]] || fail "$W x $H: no black bar"
  xdotool key "$key"
  sleep 0.5
  window_is 800x600 || fail "$W x $H: $key did not give back the window"
  stop_process "$GAME_PID"
done

# A window enlarged to 1000 x 740: the label stays on its stretched rectangle (137..262 x
# 185..222), and a click on the rectangle's lower part, below y 180, enters the game.
start_game
wait_window
xdotool windowsize "$GAME_WINDOW" 1000 740
sleep 0.5
screen resized
(($(dark_pixels "$E2E_TMP/resized.png" 120x33+140+187 20) > 20)) || fail "1000 x 740: no label on the button"
click_at 200 216
sleep 0.5
screen resized_game
[[ $(red "$E2E_TMP/resized_game.png" 600 400) != 0 ]] || fail "1000 x 740: the click did not enter the game"
echo ok
