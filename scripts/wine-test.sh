#!/usr/bin/env bash
# The Windows build under Wine: the cross build without warnings, the player's zip, and on private
# X displays with a fresh Wine prefix the game, the Windows layer's own checks (tests/wine), a demo
# and the replay scripts as on Linux. Installs what it needs. Build folders: build-win, and
# build-winhost for the native tools unless KELTO_HOST_BUILD names a native build.
set -Eeuo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
host_build=${KELTO_HOST_BUILD:-$root/build-winhost}
win_build=$root/build-win
check_exe=$win_build/tests/wine/kelto-wine-check.exe
"$root/scripts/deps.sh" wine

echo "== wine: building (native tools, then the Windows cross build)"
[[ -n "${KELTO_HOST_BUILD:-}" ]] ||
  cmake -S "$root" -B "$host_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$host_build" -j"$(nproc)" --target kelto-pictures kelto-replay >/dev/null
cmake -S "$root" -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELTO_HOST_PICTURES="$host_build/tools/kelto-pictures" \
  -DCMAKE_CXX_FLAGS=-Werror >/dev/null # warnings fail the build
build_log=$(cmake --build "$win_build" -j"$(nproc)" --target all dist 2>&1) ||
  { echo "$build_log" >&2; exit 1; }

source "$root/tests/e2e/lib.sh"
tmp=$E2E_TMP
trap 'echo "wine: line $LINENO failed: $BASH_COMMAND" >&2' ERR
# A Wine of our own: nothing from the user's prefix, cache or home is read or changed.
export WINEPREFIX=$tmp/prefix HOME=$tmp/home XDG_CACHE_HOME=$tmp/cache WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$WINEPREFIX" "$HOME" "$XDG_CACHE_HOME"
# Wine's sound goes to ALSA, whose default device here writes what it plays to a file.
printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' "$tmp/sound.raw" \
  >"$HOME/.asoundrc"
# The Wine server and its desktop go before the displays they draw on.
e2e_before_displays_go() { timeout 20 wineserver -k 2>/dev/null; }
start_display
gl_display=$DISPLAY
start_display -extension GLX
timeout 120 wine regedit /S "$root/tests/wine/setup.reg" >"$tmp/wineboot.log" 2>&1 ||
  fail "the Wine prefix could not be set up: $(cat "$tmp/wineboot.log")"
# One server for all the runs on a display (starting Wine costs seconds, a run then little),
# with a new desktop: the one that set up the prefix came before the settings.
restart_wine() {
  timeout 20 wineserver -k || true
  timeout 20 wineserver -w || true
  timeout 10 wineserver -p
}
restart_wine

# The folder a player gets: the zip unpacked, nothing else.
RUN_DIR=$tmp/run
unzip -q "$win_build/kelto-win64.zip" -d "$RUN_DIR"
same "$(find "$RUN_DIR/picture" -name '*.tga' | wc -l)" 11 "pictures in the zip"
same "$(find "$RUN_DIR/sound" -name '*.wav' | wc -l)" 14 "sounds in the zip"
grep -q 'W A S D' "$RUN_DIR/README.txt" || fail "the zip has no README.txt with the controls"
! x86_64-w64-mingw32-objdump -p "$RUN_DIR/kelto.exe" | awk '/DLL Name:/ { print toupper($3) }' |
  grep -vxE '(KERNEL32|USER32|GDI32|OPENGL32|WINMM|MSVCRT)\.DLL' || fail "kelto.exe needs these"
# What Explorer shows of kelto.exe: its icon in four sizes, and the product name and version.
wrestool -x -t14 "$RUN_DIR/kelto.exe" -o "$tmp/kelto.ico" || fail "kelto.exe has no icon"
same "$(icotool -l "$tmp/kelto.ico" | sed -E 's/.*--width=([0-9]+) .*/\1/' | sort -n | xargs)" \
  "16 32 48 256" "the sizes of kelto.exe's icon"
version=$(sed -nE 's/^project\(kelto VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
resource=$(wrestool -x --raw -t16 "$RUN_DIR/kelto.exe" | strings -el | xargs)
[[ "$resource" == *" FileVersion $version "*" ProductName kelto ProductVersion $version "* ]] ||
  fail "kelto.exe's version resource: $resource"
pass "zip: 11 pictures, 14 sounds, README.txt, kelto.exe with system DLLs only, its icon and version $version"

# Wine's windows: the first visible one whose title matches $1 goes to WINDOW.
named() {
  WINDOW=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [[ $WINDOW ]]
}
# Keyboard input goes to the Wine desktop, which hands it to its active window.
desktop_focused() { named 'Wine desktop' && xdotool windowfocus --sync "$WINDOW" 2>/dev/null; }
# Answers the game's message box with Return; the game then ends with status $1.
answer_box() {
  wait_for 30 "message box" named '^Error$'
  wait_for 5 "Wine desktop to focus" desktop_focused
  xdotool key Return
  expect_exit "$1" 30
}
# The game's window and its client area, framed by Wine: equal borders, the caption above.
game_window() {
  local X Y WIDTH HEIGHT WINDOW SCREEN
  named '^kelto$|FPS' || return 1
  GAME_WINDOW=$WINDOW
  eval "$(xdotool getwindowgeometry --shell "$GAME_WINDOW")"
  CLIENT_X=$((X + (WIDTH - 800) / 2)) CLIENT_Y=$((Y + HEIGHT - 600 - (WIDTH - 800) / 2))
}
check_in() { (cd "$1" && timeout 60 wine "$check_exe" "${@:2}" 2>"$tmp/check.err"); }
# Standard error is a text stream on Windows: its lines end in CR LF.
stderr_is() { same "$(tr -d '\r' <"$tmp/stderr")" "$1" "standard error"; }

# Without OpenGL the window's set-up fails with a box and a report, and leaves nothing behind.
LAUNCH=(timeout 60 wine "$check_exe" no-gl)
start_game
answer_box 0
stderr_is 'kelto: ChoosePixelFormat failed'
pass "no OpenGL: \"ChoosePixelFormat failed\" in a box and on standard error"

export DISPLAY=$gl_display
restart_wine
check_in "$tmp" || fail "$(cat "$tmp/check.err")"
pass "window, context and glyph lists: title, size, depth, projection, glyph advances, teardown"

# Without XInput the game runs on keyboard and mouse; without Wine's sound drivers, silent.
LAUNCH=(timeout 60 wine kelto.exe)
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;xinput1_4,xinput1_3,xinput9_1_0=;winealsa.drv,winepulse.drv=d" \
  start_game
wait_for 30 "game window" game_window
xdotool mousemove --sync $((CLIENT_X + 600)) $((CLIENT_Y + 500)) # no button hovered
wait_for 5 "Wine desktop to focus" desktop_focused
wait_for 10 "frame-rate title" fps_title
expect_screen menu 100
windowed=$(window_geometry)
xdotool key alt+Return
fullscreen_round 1024 768 alt+Return "$windowed"
expect_screen game
xdotool mousemove --sync $((CLIENT_X + 600)) $((CLIENT_Y + 500))
hold_key Escape 0.3
expect_screen menu 180
click_at 160 285
expect_exit 0 20
[[ "$(tr -d '\r' <"$tmp/stderr")" == "kelto: no sound: "* && $(wc -l <"$tmp/stderr") == 1 ]] ||
  fail "without a sound device: $(cat "$tmp/stderr")"
pass "menu, \"Играть\" in fullscreen and back, Esc to \"back_to_game\", Exit; no XInput, no sound"

# Saving scores with the Windows file calls in an empty folder, cut short by a crash.
mkdir "$tmp/save"
status=0
check_in "$tmp/save" crash || status=$?
same "$status" 3 "the status of a run killed mid-save ($(cat "$tmp/check.err"))"
check_in "$tmp/save" recover || fail "score saving after a crash: $(cat "$tmp/check.err")"
grep -q "cannot save score.txt" "$tmp/check.err" || fail "the refused save was not reported"
pass "score saving: a new file, a crash mid-save, the next save, a read-only file"

# Part of full_game.demo to the line kelto-replay reaches on Linux; Esc after its end, and Exit.
head -n 700 "$root/tests/e2e/full_game.demo" >"$RUN_DIR/part.demo"
expected=$(demo_summary "$host_build/run/kelto-replay" "$RUN_DIR/part.demo")
: >"$RUN_DIR/score.txt"
start_game --play part.demo
wait_for 30 "game window" game_window
wait_for 45 "demo line" demo_line
same "$SUMMARY" "$expected"$'\r' "--play"
wait_for 5 "Wine desktop to focus" desktop_focused
hold_key Escape 0.3
expect_screen menu
click_at 160 285
expect_exit 0 20
[[ ! -s "$RUN_DIR/score.txt" ]] || fail "--play changed score.txt: $(od -c "$RUN_DIR/score.txt")"
stderr_is ''
od -An -v -td2 "$tmp/sound.raw" | awk '/[1-9]/ { heard = 1 } END { exit !heard }' ||
  fail "--play was not heard"
pass "--play: '$expected' as on Linux and heard, Esc after the demo's end, score.txt left alone"

for script in "$root"/tests/replay/*.txt; do
  "$host_build/run/kelto-replay" --sounds <"$script" >"$tmp/linux.out"
  (cd "$tmp" && timeout 120 wine "$win_build/run/kelto-replay.exe" --sounds) <"$script" \
    >"$tmp/windows.out"
  cmp "$tmp/linux.out" "$tmp/windows.out" || fail "$script: Windows and Linux print other worlds"
done
pass "replays: the Windows output of every script and its sounds byte for byte the Linux output"
echo "== wine: all checks passed in $SECONDS s"
