#!/usr/bin/env bash
# The Debian package as a player gets it, hardened, checked by its tools, unpacked into a root of
# its own and started from a folder without pictures: the game finds its pictures, keeps the scores
# in the player's data folder and writes nothing into the installation, also after it moved.
source "$(dirname "$0")/lib.sh"

version=$("$KELTO_RUN_DIR/kelto" --version | cut -d' ' -f2)
"$(dirname "$0")/../../scripts/package.sh" "$KELTO_BUILD_DIR/hardened" "$E2E_TMP/pkg" \
  >"$E2E_TMP/package.log" 2>&1 || fail "package: $(cat "$E2E_TMP/package.log")"
deb=$E2E_TMP/pkg/kelto_${version}_$(dpkg --print-architecture).deb
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *fonts-liberation* && "$depends" == *libsdl2* ]] || fail "Depends: $depends"
lintian -I --fail-on error "$deb" >"$E2E_TMP/lintian.log" 2>&1 &&
  ! grep -E 'hardening-|binary-has-unneeded-section' "$E2E_TMP/lintian.log" ||
  fail "lintian: $(cat "$E2E_TMP/lintian.log")"
root=$E2E_TMP/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/kelto.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml || fail "AppStream metadata"
snapshot() { (cd "$1" && find . -printf '%p %s %m %T@\n' | sort); }
snapshot "$root" >"$E2E_TMP/root.before"

# The installed game, started by its desktop entry's command from a folder without pictures.
command=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/kelto.desktop")
RUN_DIR=$E2E_TMP/elsewhere
mkdir -p "$RUN_DIR"
start_display
LAUNCH=(env -u XDG_DATA_HOME HOME="$E2E_TMP/home" "$root$command")
start_game
expect_screen menu 100
click_at 150 165
expect_screen game
# The pictures texture the level and the units; without them a frame has a few flat colours.
colours=$(convert "$E2E_TMP/game.png" -format %k info:)
((colours > 1000)) || fail "the game shows $colours colours: its pictures were not found"
xdotool mousemove --sync 500 500 # the pointer off the buttons
hold_key Escape 0.1
expect_screen menu 180 # "back_to_game"
click_at 150 285 # Exit
expect_exit 0
player=$E2E_TMP/home/.local/share/kelto
[[ -f "$player/score.txt" ]] || fail "no score.txt in $player"

# Moved, the installation is found again: the next start (given the same data folder through
# XDG_DATA_HOME, HOME leading elsewhere) points the player's link at the new place.
mv "$root" "$E2E_TMP/moved"
LAUNCH=(env XDG_DATA_HOME="${player%/kelto}" HOME="$E2E_TMP/home2" "$E2E_TMP/moved$command")
start_game
wait_window
"$KELTO_XCLOSE" "$GAME_WINDOW"
expect_exit 0
[[ ! -e "$E2E_TMP/home2" ]] || fail "XDG_DATA_HOME was not used"
for data in picture sound; do
  [[ "$(readlink -f "$player/$data")" == "$E2E_TMP/moved/usr/share/games/kelto/$data" ]] ||
    fail "the $data folder of the moved installation is not linked"
done
[[ -s "$player/sound/player_shot.wav" ]] || fail "no sounds installed"
[[ -z "$(ls -A "$RUN_DIR")" ]] || fail "files written where the game was started"
diff "$E2E_TMP/root.before" <(snapshot "$E2E_TMP/moved") >&2 || fail "the installation was changed"
pass "installed: menu, a game with $colours colours, scores in the data folder, moved and linked"
