#!/usr/bin/env bash
# Sound through SDL's disk driver, which writes what the device plays to a file in real time: a
# played demo is silent until its game starts, heard while it plays and silent again while its
# last frame is held; --mute plays nothing; M is kept in settings.txt; with no audio driver at
# all the game plays on, saying so in one line.
source "$(dirname "$0")/lib.sh"
start_display
make_run_dir
head -n 201 "$(dirname "$0")/full_game.demo" >"$RUN_DIR/short.demo" # turrets from tick 11
raw=$E2E_TMP/sound.raw
play_short() {
  start_game --play short.demo "$@"
  wait_window
  wait_for 30 "demo line" demo_line
  sleep 2.5 # the last frame held: nothing happens
  "$KELTO_XCLOSE" "$GAME_WINDOW"
  expect_exit 0
}
# "FRAMES FIRST LAST": the 16-bit stereo frames written, the first and last that are not silent.
heard() {
  od -An -v -td2 -w4 "$raw" | awk '$1 != 0 || $2 != 0 { if (!f) f = NR; l = NR }
    END { print NR, f + 0, l + 0 }'
}

SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$raw play_short
read -r frames first last < <(heard)
rate=48000
# The device opens before the window; nothing sounds before the first turret's shot at tick 11.
((first > rate / 10)) || fail "sound before the game started (frame $first)"
((last - first > rate)) || fail "too little sound: frames $first to $last"
((frames - last > rate / 2)) || fail "sound while the demo held its last frame ($last of $frames)"
ms() { echo "$(($1 * 1000 / rate)) ms"; }
pass "a played demo: silent for $(ms "$first"), heard for $(ms $((last - first))), then silent"

rm -f "$raw"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$raw play_short --mute
[[ ! -e "$raw" ]] || { read -r frames first last < <(heard) && ((first == 0)); } ||
  fail "sound with --mute"
[[ ! -e "$RUN_DIR/settings.txt" ]] || fail "--mute was kept in settings.txt"

start_game --mute --volume 35
wait_window
expect_screen menu
xdotool key m sleep 0.3 key m
wait_for 5 "settings.txt" grep -qx "sound off" "$RUN_DIR/settings.txt"
grep -qx "volume 35" "$RUN_DIR/settings.txt" || fail "--volume 35 was not kept"
"$KELTO_XCLOSE" "$GAME_WINDOW"
expect_exit 0
pass "--mute silent and not kept, --volume kept; M twice keeps sound off"

rm "$RUN_DIR/settings.txt"
SDL_AUDIODRIVER=none-such play_short
same "$(cat "$E2E_TMP/stderr")" "kelto: no sound: Audio target 'none-such' not available" \
  "standard error without an audio driver"
pass "no audio driver: the demo played, one line"
