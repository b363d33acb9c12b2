#!/usr/bin/env bash
# The layers: each folder of src/game includes only the folders below it, the core (every file
# outside src/platform, the root modules and the programs' entries of src/game included) includes
# neither a window-system header nor the platform layer, the platform layer includes nothing of
# src/game, and the replay tool (core only) needs no window-system library.
# Usage: check_layers.sh SOURCE_ROOT KELTO_REPLAY
set -euo pipefail
src=$1/src
status=0
fail() { echo "FAIL: $*" >&2; status=1; }
declare -A allowed=([shared]="" [model]="shared" [units]="shared model"
  [world]="shared model units" [replay]="shared model units world"
  [scenes]="shared model world replay")
for folder in "${!allowed[@]}"; do
  for used in $(grep -ho '#include "game/[a-z]*/' "$src/game/$folder"/* | cut -d/ -f2 | sort -u); do
    [[ " ${allowed[$folder]} $folder " == *" $used "* ]] || fail "game/$folder includes game/$used"
  done
done
! grep -rlE '#include <(SDL|windows\.h|fontconfig|ft2build|X11)' "$src" --exclude-dir=platform ||
  fail "the files above include a window-system header"
! grep -rl '#include "platform/' "$src" --exclude-dir=platform || fail "the files above include the platform layer"
! grep -rl '#include "game/' "$src/platform" || fail "the files above include the game"
! ldd "$2" | grep -iE 'SDL|freetype|fontconfig|X11|GLX' || fail "kelto-replay links the libraries above"
exit $status
