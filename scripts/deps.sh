#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those that are missing.
# Usage: scripts/deps.sh build|package|test|wine|wasm|web
set -euo pipefail

# libopengl-dev: the core links OpenGL without GLX (and so without X11).
# zlib1g-dev: the picture generator packs the icon's PNG files. gzip: manual pages, changelog.
build_packages=(cmake make g++ pkg-config libsdl2-dev libgl-dev libopengl-dev libfreetype-dev
  libfontconfig-dev libx11-dev fonts-liberation zlib1g-dev gzip)
# The Debian package (scripts/package.sh): dpkg-dev (dpkg-buildflags, dpkg-shlibdeps) and file
# for cpack.
package_packages=(dpkg-dev file)
# libgles-dev: the build on OpenGL ES 3 (-DKELTO_GL=GLES3) that the tests draw with too; Mesa
# gives SDL its ES context through GLX.
# xfonts-base: the fonts of SDL's message boxes on a bare X server. x11-xkb-utils: setxkbmap, for
# the games played with other keyboard layouts.
# The package test: the package's own, and the checkers of the package, its desktop entry,
# AppStream metadata and manual pages.
test_packages=(libgles-dev googletest libgtest-dev libbenchmark-dev xvfb xauth xfonts-base
  x11-xkb-utils xdotool x11-apps x11-utils imagemagick clang libclang-rt-14-dev python3
  "${package_packages[@]}" lintian desktop-file-utils appstream man-db)
# The Windows build and its test under Wine. Wine finds OpenGL, fonts and most X extensions at run
# time, so what it merely recommends is named too; "wine64" is the loader for 64-bit programs.
# icoutils reads the icon and version resources of kelto.exe.
wine_packages=(g++-mingw-w64-x86-64 wine wine64 libgl1 libgl1-mesa-dri libxcomposite1 libxcursor1
  libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1 fonts-liberation xvfb xauth
  xdotool x11-apps x11-utils imagemagick unzip icoutils)

# The WebAssembly build: Debian's Emscripten, the acorn module its optimizer loads, node to run it.
wasm_packages=(emscripten node-acorn nodejs)
# The browser build (its generators built natively) and its test: a headless Chromium with its
# software WebGL, and npm for the test's lockfile (asked for only where no npm exists: a node from
# elsewhere brings its own, which Debian's would conflict with).
web_packages=(cmake make g++ pkg-config libfreetype-dev libfontconfig-dev fonts-liberation
  zlib1g-dev chromium-headless-shell python3 imagemagick "${wasm_packages[@]}")

case "${1:-build}" in
build) wanted=("${build_packages[@]}") ;;
package) wanted=("${build_packages[@]}" "${package_packages[@]}") ;;
test) wanted=("${build_packages[@]}" "${test_packages[@]}") ;;
wine) wanted=("${build_packages[@]}" "${wine_packages[@]}") ;;
wasm) wanted=("${wasm_packages[@]}") ;;
web)
  wanted=("${web_packages[@]}")
  command -v npm >/dev/null || wanted+=(npm)
  ;;
*)
  echo "usage: $0 build|package|test|wine|wasm|web" >&2
  exit 2
  ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
