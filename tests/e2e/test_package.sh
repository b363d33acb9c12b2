#!/usr/bin/env bash
# The Debian package as a player gets it: built by cpack from this build, free of lintian errors,
# with a valid desktop entry and AppStream metadata. Unpacked into a root of its own and started
# from a folder without pictures, the game finds the installed pictures, keeps the scores in the
# player's data folder and writes nothing into the installation, also after the installation moved.
source "$(dirname "$0")/lib.sh"

version=$("$KELTO_RUN_DIR/kelto" --version | cut -d' ' -f2)
(cd "$KELTO_BUILD_DIR" && cpack -G DEB -B "$E2E_TMP/pkg" >"$E2E_TMP/cpack.log") ||
  fail "cpack: $(cat "$E2E_TMP/cpack.log")"
deb=$E2E_TMP/pkg/kelto_${version}_$(dpkg --print-architecture).deb
[[ -f "$deb" ]] || fail "no $(basename "$deb"): $(ls "$E2E_TMP/pkg")"
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *fonts-liberation* && "$depends" == *libsdl2* ]] || fail "Depends: $depends"
lintian --fail-on error "$deb" >"$E2E_TMP/lintian.log" 2>&1 || fail "lintian: $(cat "$E2E_TMP/lintian.log")"

root=$E2E_TMP/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/kelto.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "AppStream metadata"
# Every file of the installation with its size, mode and time, to find any change.
snapshot() { (cd "$1" && find . -printf '%p %s %m %T@\n' | sort); }
snapshot "$root" >"$E2E_TMP/root.before"

mkdir -p "$E2E_TMP/elsewhere"
# Starts the installed game by its desktop entry's command, in a folder without pictures; $1 is
# the installation's root.
command=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/kelto.desktop")
[[ "$command" == /usr/games/kelto ]] || fail "the desktop entry starts \"$command\""
start_installed() {
  (cd "$E2E_TMP/elsewhere" && exec "${@:2}" "$1$command" >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") &
  GAME_PID=$!
  wait_window
  sleep 0.5
}

start_display
start_installed "$root" env -u XDG_DATA_HOME HOME="$E2E_TMP/home"
shot "$E2E_TMP/menu.png"
[[ "$(pixel "$E2E_TMP/menu.png" 600 400)" == "0 0 0" ]] || fail "no menu: the background is not black"
read -r r g b <<<"$(pixel "$E2E_TMP/menu.png" 114 154)"
[[ $r -eq $g && $g -eq $b && $r -ge 30 ]] || fail "no menu: no grey first button ($r $g $b)"
click_at 150 165
sleep 0.5
shot "$E2E_TMP/game.png"
# The pictures textures the level and the units; without them a frame has a few flat colours.
colours=$(convert "$E2E_TMP/game.png" -format %k info:)
((colours > 1000)) || fail "the game shows $colours colours: its pictures were not found"
hold_key Escape 0.1
sleep 0.4
click_at 150 285
wait_exit 10
[[ $GAME_STATUS -eq 0 ]] || fail "Exit: status $GAME_STATUS: $(cat "$E2E_TMP/stderr")"
player=$E2E_TMP/home/.local/share/kelto
[[ -f "$player/score.txt" ]] || fail "no score.txt in $player"
pass "installed game: menu, a game with $colours colours, score.txt in ~/.local/share/kelto"

# The installation moved: the next start, here given the same data folder through XDG_DATA_HOME
# (HOME leads elsewhere), points the player's link at the new place.
mv "$root" "$E2E_TMP/moved"
start_installed "$E2E_TMP/moved" env XDG_DATA_HOME="$E2E_TMP/home/.local/share" HOME="$E2E_TMP/home2"
"$KELTO_XCLOSE" "$GAME_WINDOW"
wait_exit 10
[[ $GAME_STATUS -eq 0 ]] || fail "moved installation: status $GAME_STATUS: $(cat "$E2E_TMP/stderr")"
[[ ! -e "$E2E_TMP/home2" ]] || fail "XDG_DATA_HOME was not used"
[[ "$(readlink -f "$player/picture")" == "$(realpath "$E2E_TMP/moved")/usr/share/games/kelto/picture" ]] ||
  fail "the pictures of the moved installation are not linked"

[[ -z "$(ls -A "$E2E_TMP/elsewhere")" ]] || fail "files written where the game was started"
diff "$E2E_TMP/root.before" <(snapshot "$E2E_TMP/moved") >&2 || fail "the installation was changed"
pass "moved installation linked, XDG_DATA_HOME honoured; nothing written into the installation"
