#!/usr/bin/env bash
# The Windows build under Wine. Cross-compiles the game with mingw-w64 (win32 threads, static
# compiler runtime), packs the player's zip, and checks on private X displays with a fresh Wine
# prefix:
#   - kelto.exe carries its icon and version resources, and the zip a README.txt;
#   - a window set-up failure (a display without OpenGL): the message box, the line on standard
#     error, exit status 1;
#   - the window (class, styles, 800 x 600 client area at (0, 0), pixel format, projection in place
#     before start-up, teardown order) and the glyph lists of the font (blank glyphs advance,
#     Cyrillic bytes are drawn);
#   - the menu with both buttons and its Cyrillic label, "Играть" into the game, W moves the view,
#     Esc back to the menu ("back_to_game"), "Exit" with status 0;
#   - a failed set-up (without OpenGL) leaves no window, device context or class behind;
#   - a bad line in score.txt: status 1 and the report, cut at 40 bytes, on standard error;
#   - saving the score table with the Windows file calls, including a save cut short by a crash;
#   - a demo recorded by the Linux game plays with --play to the line kelto-replay reaches;
#   - kelto-replay.exe prints byte for byte what the Linux kelto-replay prints for every replay
#     script in tests/replay/.
# Installs what it needs when missing (apt-get, through sudo when not root). Build folders:
# build-winhost (native: picture generator, Linux replay) and build-win (the cross build).
set -Eeuo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# A native build that already exists (the test command passes its own) saves building twice.
host_build=${KELTO_HOST_BUILD:-$root/build-winhost}
win_build=$root/build-win
jobs=$(nproc)
started=$(date +%s)

# --- Packages -------------------------------------------------------------------------------

"$root/scripts/deps.sh" wine

# --- Builds ---------------------------------------------------------------------------------

echo "== wine: building (native tools, then the Windows cross build)"
if [[ -z "${KELTO_HOST_BUILD:-}" ]]; then
  cmake -S "$root" -B "$host_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
fi
host_targets=(kelto-pictures)
[[ -n $(compgen -G "$root/src/game/replay/*.cpp") ]] && host_targets+=(kelto-replay)
cmake --build "$host_build" -j"$jobs" --target "${host_targets[@]}" >/dev/null
host_pictures=$host_build/tools/kelto-pictures
[[ -x "$host_pictures" ]] || { echo "FAIL: no native picture generator at $host_pictures" >&2; exit 1; }

cmake -S "$root" -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELTO_HOST_PICTURES="$host_pictures" >/dev/null
# Warnings count as failures in the cross build too.
build_log=$(cmake --build "$win_build" -j"$jobs" 2>&1) || { echo "$build_log" >&2; exit 1; }
if grep -q 'warning:' <<<"$build_log"; then
  grep -A3 'warning:' <<<"$build_log" >&2
  echo "FAIL: the Windows build has warnings" >&2
  exit 1
fi
cmake --build "$win_build" --target dist >/dev/null

# --- Wine on private displays ---------------------------------------------------------------

source "$root/tests/e2e/lib.sh"
tmp=$E2E_TMP
trap 'echo "wine: line $LINENO failed: $BASH_COMMAND" >&2' ERR
# The Wine server and its desktop go before the displays they draw on.
e2e_before_displays_go() { [[ -n "${WINEPREFIX:-}" ]] && timeout 20 wineserver -k 2>/dev/null; }

# A Wine of our own: nothing from the user's prefix, cache or home is read or changed.
export WINEPREFIX=$tmp/prefix HOME=$tmp/home XDG_CACHE_HOME=$tmp/cache WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME" "$XDG_CACHE_HOME"
# A virtual desktop (without one every window close waits for a window manager that is not
# there), no crash dialog (it would wait for ever), and Courier New from a font that is here:
# Wine takes font substitutes from its registry, not from fontconfig.
cat >"$tmp/setup.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Courier New"="Liberation Mono"
EOF

start_display -extension GLX
nogl_display=$DISPLAY
start_display
gl_display=$DISPLAY

export DISPLAY=$nogl_display
# One server for all the runs on a display: starting Wine costs seconds, a run then little. It
# has to be up before the first program, which would otherwise start a server of its own.
mkdir -p "$WINEPREFIX"
timeout 10 wineserver -p
timeout 120 wine regedit /S "$tmp/setup.reg" >"$tmp/wineboot.log" 2>&1 || {
  cat "$tmp/wineboot.log" >&2
  fail "the Wine prefix could not be set up"
}
# Stops the server with its desktop and starts a new one on DISPLAY. The desktop that set up the
# prefix came before the settings, so a fresh one is needed for them too.
restart_wine() {
  timeout 20 wineserver -k || true
  timeout 20 wineserver -w || true
  timeout 10 wineserver -p
}
restart_wine

# The folder a player gets: the zip unpacked, nothing else.
run_dir=$tmp/run
mkdir -p "$run_dir"
unzip -q "$win_build/kelto-win64.zip" -d "$run_dir"
[[ -f "$run_dir/kelto.exe" ]] || fail "kelto.exe is not in the zip"
[[ $(find "$run_dir/picture" -name '*.tga' | wc -l) -eq 11 ]] || fail "the zip does not hold the 11 pictures"
dlls=$(x86_64-w64-mingw32-objdump -p "$run_dir/kelto.exe" | awk '/DLL Name:/ {print toupper($3)}' | sort | tr '\n' ' ')
for dll in $dlls; do
  case $dll in
  KERNEL32.DLL | USER32.DLL | GDI32.DLL | OPENGL32.DLL | WINMM.DLL | MSVCRT.DLL) ;;
  *) fail "kelto.exe needs $dll (all DLLs: $dlls)" ;;
  esac
done
pass "zip: kelto.exe and 11 pictures; kelto.exe needs only $dlls"

# What Explorer shows of kelto.exe: its icon in four sizes, and the product name and version.
wrestool -x -t14 "$run_dir/kelto.exe" -o "$tmp/kelto.ico" || fail "kelto.exe has no icon"
icon_sizes=$(icotool -l "$tmp/kelto.ico" | sed -E 's/.*--width=([0-9]+) .*/\1/' | sort -n | tr '\n' ' ')
[[ "$icon_sizes" == "16 32 48 256 " ]] || fail "kelto.exe's icon has the sizes $icon_sizes"
version=$(sed -nE 's/^project\(kelto VERSION ([0-9.]+).*/\1/p' "$root/CMakeLists.txt")
wrestool -x --raw -t16 "$run_dir/kelto.exe" | strings -el >"$tmp/version.txt"
for field in "ProductName kelto" "ProductVersion $version" "FileVersion $version"; do
  [[ "$(grep -A1 -x "${field% *}" "$tmp/version.txt" | tail -n 1)" == "${field#* }" ]] ||
    fail "kelto.exe's version resource lacks $field: $(tr '\n' ' ' <"$tmp/version.txt")"
done
grep -q 'W A S D' "$run_dir/README.txt" || fail "the zip has no README.txt with the controls"
pass "kelto.exe: icon of 16, 32, 48 and 256 px, version resource \"kelto $version\"; README.txt"

start_game() {
  (cd "$run_dir" && exec timeout 60 wine kelto.exe "$@" >"$tmp/stdout" 2>"$tmp/stderr") &
  GAME_PID=$!
}

# Keyboard input goes to the Wine desktop, which hands it to its active window.
focus_desktop() {
  local desktop= i
  for i in $(seq 1 50); do
    # A search can meet a window that is going away and give up; it is simply repeated.
    desktop=$(xdotool search --name 'Wine desktop' 2>/dev/null | awk 'NR == 1' || true)
    [[ -n "$desktop" ]] && xdotool windowfocus --sync "$desktop" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "no Wine desktop window to focus"
}

# Answers the program's message box with Return and waits for the program to end.
answer_box() {
  wait_window_named '^Error$' >/dev/null || fail "$1: no message box: $(cat "$tmp/stderr")"
  focus_desktop
  xdotool key Return
  wait_exit 30
}

# --- Window set-up failure: a display without OpenGL ------------------------------------------

: >"$run_dir/score.txt"
start_game
answer_box "a display without OpenGL"
[[ $GAME_STATUS -eq 1 ]] || fail "set-up failure: exit status $GAME_STATUS, expected 1"
# Standard error is a text stream on Windows: its lines end in CR LF.
[[ "$(tr -d '\r' <"$tmp/stderr")" == 'kelto: ChoosePixelFormat failed' ]] ||
  fail "set-up failure: standard error was: $(cat "$tmp/stderr")"
pass "no OpenGL: \"ChoosePixelFormat failed\" in a message box and on standard error, status 1"
(cd "$tmp" && exec timeout 60 wine "$win_build/tests/wine/kelto-window-check.exe" no-gl 2>"$tmp/stderr") &
GAME_PID=$!
answer_box "the window check without OpenGL"
[[ $GAME_STATUS -eq 0 ]] || fail "a failed set-up left something behind: $(tr -d '\r' <"$tmp/stderr")"

# Everything else on the display with OpenGL; the server restarts there.
export DISPLAY=$gl_display
restart_wine

# --- The window and the glyph lists -----------------------------------------------------------
# Among them: glyphs without pixels (space, no-break space) must still advance the text; some
# drivers drop the empty bitmaps that WGL records for them.

(cd "$tmp" && timeout 60 wine "$win_build/tests/wine/kelto-window-check.exe" 2>"$tmp/font.err") ||
  fail "window and glyph lists: $(tr -d '\r' <"$tmp/font.err")"
pass "window, context and glyph lists: class, styles, size, format, projection, teardown; blank glyphs advance"

# --- Menu, game, Esc, Exit --------------------------------------------------------------------

# Client area of the game window. Wine draws the frame itself: equal borders left, right and
# bottom, the caption above.
locate_client() {
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local border=$(((WIDTH - 800) / 2))
  CLIENT_X=$((X + border))
  CLIENT_Y=$((Y + HEIGHT - 600 - border))
  [[ $border -ge 0 && $CLIENT_Y -ge $Y ]] || fail "odd game window geometry ${WIDTH}x$HEIGHT"
}
# First column from the left of row $2 that is not black (800 when there is none).
first_lit_column() {
  convert "$1" -crop "800x1+0+$2" +repage -depth 8 txt:- |
    awk 'NR > 1 && !found { split($1, p, /[,:]/); split($2, c, /[(),]/); if (c[2] + c[3] + c[4] > 0) { print p[1]; found = 1 } } END { if (!found) print 800 }'
}
is_button_grey() {
  local r g b
  read -r r g b <<<"$(pixel "$1" "$2" "$3")"
  [[ $r -eq $g && $g -eq $b && $r -ge 30 && $r -le 80 ]]
}

: >"$run_dir/score.txt"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;xinput1_4,xinput1_3,xinput9_1_0=" start_game
window=$(wait_window_named '^kelto$|FPS') || fail "no game window: $(cat "$tmp/stderr")"
locate_client "$window"
# Away from the buttons, so neither is drawn hovered.
xdotool mousemove --sync $((CLIENT_X + 600)) $((CLIENT_Y + 500))
focus_desktop
sleep 1.5
title=$(xdotool getwindowname "$window")
[[ "$title" =~ ^\ \[\ FPS\ -\ [0-9]+\ \]\ $ ]] || fail "window title \"$title\", expected the frame rate"

shot "$tmp/menu.png"
is_button_grey "$tmp/menu.png" 114 154 || fail "menu: no first button at (110..210, 150..180)"
is_button_grey "$tmp/menu.png" 206 176 || fail "menu: no first button at (110..210, 150..180)"
is_button_grey "$tmp/menu.png" 114 274 || fail "menu: no \"Exit\" button at (110..210, 270..300)"
[[ "$(pixel "$tmp/menu.png" 286 153)" == "0 0 0" ]] || fail "menu: the first button is wider than \"Играть\""
[[ "$(pixel "$tmp/menu.png" 500 400)" == "0 0 0" ]] || fail "menu: the background is not black"
pass "menu: the two buttons, title \"$title\" (the Cyrillic glyphs: the window check)"

# Fullscreen (no XInput in this run): "Играть" scaled by 1.28 enters a game scaled alike.
windowed=$(xdotool getwindowgeometry "$window")
xdotool key alt+Return
sleep 1
[[ $(xdotool getwindowgeometry "$window") == *"Geometry: 1024x768" ]] || fail "Alt+Enter: not fullscreen"
CLIENT_X=0 CLIENT_Y=0 click_at 205 218
sleep 1
xwd -root -silent | convert xwd:- "$tmp/fullscreen.png"
[[ $(first_lit_column "$tmp/fullscreen.png" 400) == 22[4-7] ]] || fail "Alt+Enter: the game's view is not scaled"
xdotool key alt+Return
sleep 1
[[ $(xdotool getwindowgeometry "$window") == "$windowed" ]] || fail "Alt+Enter again: the window is not back"
shot "$tmp/game1.png"
changed=$(differing_pixels "$tmp/menu.png" "$tmp/game1.png")
[[ $changed -gt 100000 ]] || fail "\"Играть\" did not enter the game ($changed pixels changed)"
# The camera follows the player: W moves it up the level, so the level comes down the screen by
# whole steps of 3 pixels and does not move sideways.
hold_key w 0.6
sleep 0.3
shot "$tmp/game2.png"
read -r dx dy <<<"$(python3 "$root/tests/e2e/view_shift.py" "$tmp/game1.png" "$tmp/game2.png" 190 180 150 80)"
[[ $dx -eq 0 && $dy -gt 0 ]] || fail "W: the view moved by ($dx, $dy), expected straight down the screen"
pass "game: \"Играть\" entered it scaled in fullscreen and back; W moved the view $dy px up"

# Off the buttons again, so the menu draws them unhovered.
xdotool mousemove --sync $((CLIENT_X + 600)) $((CLIENT_Y + 500))
hold_key Escape 0.3
sleep 0.7
shot "$tmp/menu2.png"
is_button_grey "$tmp/menu2.png" 286 153 || fail "Esc: no menu with the wider \"back_to_game\" button"
is_button_grey "$tmp/menu2.png" 114 274 || fail "Esc: no \"Exit\" button"
pass "Esc: back in the menu, first button \"back_to_game\""

click_at 160 285
wait_exit 20
[[ $GAME_STATUS -eq 0 ]] || fail "\"Exit\": exit status $GAME_STATUS, expected 0 ($(cat "$tmp/stderr"))"
[[ ! -s "$tmp/stderr" ]] || fail "\"Exit\": standard error was not empty: $(cat "$tmp/stderr")"
pass "\"Exit\": status 0"

# --- A bad score file -------------------------------------------------------------------------

printf 'abc%050d\r\n' 0 >"$run_dir/score.txt"
start_game
answer_box "bad score.txt"
[[ $GAME_STATUS -eq 1 ]] || fail "bad score.txt: exit status $GAME_STATUS, expected 1"
# The line is quoted up to its 40th byte, the cut marked with three dots in the ANSI code page.
grep -q "line 1: 'abc0\{37\}\.\.\.' is not a valid integer value" "$tmp/stderr" ||
  fail "bad score.txt: standard error was: $(cat "$tmp/stderr")"
[[ "$(cat "$run_dir/score.txt")" == "abc$(printf '%050d' 0)"$'\r' ]] || fail "bad score.txt: the file was changed"
pass "bad score.txt: status 1, \"$(head -n 1 "$tmp/stderr" | tr -d '\r')\""

# --- Saving scores with the Windows file calls -----------------------------------------------

save_dir=$tmp/save
mkdir -p "$save_dir"
cp "$win_build/tests/wine/kelto-score-check.exe" "$save_dir/"
# The read-only case reports its refusal on standard error; that is expected and kept aside.
(cd "$save_dir" && timeout 60 wine kelto-score-check.exe 2>"$tmp/save.err") ||
  fail "score saving: $(cat "$tmp/save.err")"
grep -q "cannot save score.txt" "$tmp/save.err" || fail "score saving: the refused save was not reported"
status=0
(cd "$save_dir" && timeout 60 wine kelto-score-check.exe crash) || status=$?
[[ $status -eq 3 ]] || fail "the crash run ended with status $status, expected 3 (killed mid-save)"
(cd "$save_dir" && timeout 60 wine kelto-score-check.exe recover) || fail "recovery after a crash"
pass "score saving: replace, leftovers, read-only file, a crash mid-save and the next save"

# --- A demo recorded on Linux, played back ---------------------------------------------------
# Part of the full-game route as the Linux game recorded it: the line kelto-replay reaches on
# Linux, in CR LF; Esc once it has ended, then Exit; score.txt left alone.

head -n 700 "$root/tests/e2e/full_game.demo" >"$run_dir/part.demo"
expected=$(demo_summary "$host_build/run/kelto-replay" "$run_dir/part.demo")
: >"$run_dir/score.txt"
start_game --play part.demo
window=$(wait_window_named '^kelto$|FPS') || fail "--play: no game window: $(cat "$tmp/stderr")"
wait_summary 45
[[ "$SUMMARY" == "$expected"$'\r' ]] || fail "--play printed '$SUMMARY', kelto-replay on Linux '$expected'"
locate_client "$window"
focus_desktop
hold_key Escape 0.3
sleep 0.5
click_at 160 285 # Exit
wait_exit 20
[[ $GAME_STATUS -eq 0 && ! -s "$run_dir/score.txt" ]] ||
  fail "--play: status $GAME_STATUS, score.txt: $(od -c "$run_dir/score.txt")"
pass "--play: '$expected' as on Linux, Esc after the demo's end, score.txt left alone"

# --- Replays: the same game on both platforms -------------------------------------------------

replays=()
while IFS= read -r -d '' script; do
  replays+=("$script")
done < <(find "$root/tests/replay" -maxdepth 1 -type f -name '*.txt' -print0 2>/dev/null | sort -z)
if [[ ${#replays[@]} -eq 0 || ! -x "$host_build/run/kelto-replay" ]]; then
  fail "no replay scripts in tests/replay or no kelto-replay to compare"
fi
mismatches=0
for script in "${replays[@]}"; do
  name=$(basename "$script")
  linux_status=0
  windows_status=0
  "$host_build/run/kelto-replay" <"$script" >"$tmp/replay-linux-$name.out" || linux_status=$?
  (cd "$tmp" && timeout 120 wine "$win_build/run/kelto-replay.exe") <"$script" \
    >"$tmp/replay-windows-$name.out" || windows_status=$?
  if [[ $linux_status -ne 0 || ! -s "$tmp/replay-linux-$name.out" ]]; then
    fail "replay $name: the Linux kelto-replay failed (status $linux_status) or printed nothing"
  fi
  if [[ $linux_status -ne $windows_status ]]; then
    echo "replay $name: exit status $linux_status on Linux, $windows_status under Wine" >&2
    mismatches=$((mismatches + 1))
  elif ! cmp -s "$tmp/replay-linux-$name.out" "$tmp/replay-windows-$name.out"; then
    echo "replay $name: outputs differ; first difference:" >&2
    diff "$tmp/replay-linux-$name.out" "$tmp/replay-windows-$name.out" | head -n 6 >&2 || true
    mismatches=$((mismatches + 1))
  fi
done
[[ $mismatches -eq 0 ]] || fail "$mismatches of ${#replays[@]} replays differ between Linux and Windows"
pass "replays: ${#replays[@]} scripts, Windows output byte for byte the Linux output"

echo "== wine: all checks passed in $(($(date +%s) - started)) s"
