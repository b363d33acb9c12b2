#!/usr/bin/env bash
# Fullscreen on two screen sizes: the 800 x 600 view scaled to fit, centred between black bars,
# the scaled "Играть" answering a real click, and the window given back. Then a resized window,
# whose buttons show their labels and answer where they are drawn.
source "$(dirname "$0")/lib.sh"
make_run_dir

red() { pixel "$1" "$2" "$3" | cut -d' ' -f1; }
# Label ink: pixels darker than the button's grey inside a region (WxH+X+Y).
ink() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- |
    awk 'NR > 1 { split($2, c, /[(),]/); if (c[2] < 20) n++ } END { print n + 0 }'
}
geometry_is() {
  local info
  info=$(xwininfo -id "$GAME_WINDOW")
  grep -q "upper-left X:  0" <<<"$info" && grep -q "upper-left Y:  0" <<<"$info" &&
    grep -q "Width: $1\$" <<<"$info" && grep -q "Height: $2\$" <<<"$info"
}

# F11 in and out on one screen (started with --fullscreen), Alt+Enter on the other.
for run in "1024 768 F11" "1920 1080 alt+Return"; do
  read -r W H key <<<"$run"
  E2E_SCREEN=${W}x${H}x24 start_display
  # The fitted view: its size and corner on the screen, and a view point in screen pixels.
  if ((W * 600 <= H * 800)); then vw=$W vh=$((W * 600 / 800)); else vw=$((H * 800 / 600)) vh=$H; fi
  ox=$(((W - vw) / 2)) oy=$(((H - vh) / 2))
  at() { echo $((ox + $1 * vw / 800)) $((oy + $2 * vh / 600)); }
  if [[ $key == F11 ]]; then start_game --fullscreen; else start_game; fi
  wait_window
  sleep 0.5
  [[ $key == F11 ]] || xdotool key "$key"
  sleep 0.5
  geometry_is "$W" "$H" || fail "$W x $H: the window does not cover the screen: $(xwininfo -id "$GAME_WINDOW")"
  xwd -root -silent | convert xwd:- "$E2E_TMP/menu$W.png"
  # The first button, 110..210 x 150..180 in the view, grey where it is scaled to, black beside.
  [[ $(red "$E2E_TMP/menu$W.png" $(at 200 155)) -gt 30 ]] || fail "$W x $H: no scaled button"
  [[ $(red "$E2E_TMP/menu$W.png" $(at 220 155)) == 0 ]] || fail "$W x $H: the button is not scaled"
  read -r x0 y0 <<<"$(at 112 152)"
  read -r x1 y1 <<<"$(at 208 178)"
  (($(ink "$E2E_TMP/menu$W.png" "$((x1 - x0))x$((y1 - y0))+$x0+$y0") > 20)) ||
    fail "$W x $H: no label on the scaled button"
  ((ox == 0)) || [[ $(pixel "$E2E_TMP/menu$W.png" $((ox / 2)) $((H / 2))) == "0 0 0" ]] ||
    fail "$W x $H: the bar is not black"
  click_at $(at 160 170)
  sleep 0.5
  xwd -root -silent | convert xwd:- "$E2E_TMP/game$W.png"
  # The game, with the level's top-left corner at (176, 172) of the view, scaled.
  [[ $(red "$E2E_TMP/game$W.png" $(at 170 300)) == 0 && $(red "$E2E_TMP/game$W.png" $(at 182 300)) != 0 ]] ||
    fail "$W x $H: the click on the scaled button did not enter the game, or its view is not scaled"
  xdotool key "$key"
  sleep 0.5
  geometry_is 800 600 || fail "$W x $H: $key did not give back the window: $(xwininfo -id "$GAME_WINDOW")"
  shot "$E2E_TMP/back$W.png"
  [[ $(red "$E2E_TMP/back$W.png" 170 300) == 0 && $(red "$E2E_TMP/back$W.png" 182 300) != 0 ]] ||
    fail "$W x $H: the view is not back to one pixel per pixel"
  pass "$W x $H: fullscreen view ${vw} x $vh at ($ox, $oy), a click on the scaled button, $key back"
  stop_process "$GAME_PID"
done

# A window enlarged to 1000 x 740: the label stays on its stretched rectangle (137..262 x
# 185..222), and a click on the rectangle's lower part, below y 180, enters the game.
start_game
wait_window
sleep 0.5
xdotool windowsize "$GAME_WINDOW" 1000 740
sleep 0.5
xwd -root -silent | convert xwd:- "$E2E_TMP/resized.png"
(($(ink "$E2E_TMP/resized.png" 120x33+140+187) > 20)) || fail "1000 x 740: no label on the button"
click_at 200 216
sleep 0.5
xwd -root -silent | convert xwd:- "$E2E_TMP/resized_game.png"
[[ $(red "$E2E_TMP/resized_game.png" 600 400) != 0 ]] || fail "1000 x 740: the click did not enter the game"
pass "1000 x 740: the label on its button, a click on the button's lower part enters the game"
