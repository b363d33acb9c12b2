#!/usr/bin/env bash
# Builds the Debian package the way Debian builds its own: in a build folder of its own, with the
# flags dpkg-buildflags gives, hardening included (fortified string and memory functions, stack
# protector, relocations read-only and bound at start), and writes kelto_VERSION_ARCH.deb.
# Usage: scripts/package.sh [BUILD_DIR [OUTPUT_DIR]]   (default build-deb/, the .deb in BUILD_DIR)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-deb}")
out=$(realpath -m "${2:-$build}")

"$root/scripts/deps.sh" package
cd "$root" # the flags map the source folder's paths to "." from here
# bindnow (-z now) is not among Debian's defaults yet; lintian asks for it.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all ${DEB_BUILD_MAINT_OPTIONS:-}"
eval "$(dpkg-buildflags --export=sh)"
# Given in full on every run, so a changed dpkg-buildflags reaches a build folder configured before.
# The build type keeps the ordinary build's optimisation; the game's own floating-point flags come
# after these and win.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DCMAKE_C_FLAGS="$CPPFLAGS $CFLAGS" -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
# As Debian's packages run their tests while they are built: the package's build must play the
# same game as every other build, byte for byte.
for script in "$root"/tests/replay/*.txt; do
  bash "$root/tests/replay/check_replay.sh" "$script" "${script%.txt}.out.gz" \
    "$build/run/kelto-replay" || { echo "package: kelto-replay differs on $script" >&2; exit 1; }
done
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
ls "$out"/kelto_*.deb
