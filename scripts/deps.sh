#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those that are missing.
# Usage: scripts/deps.sh build|test|wine|wasm
set -euo pipefail

# libopengl-dev: the core links OpenGL without GLX (and so without X11).
# zlib1g-dev: the picture generator packs the icon's PNG files. gzip: manual pages, changelog.
build_packages=(cmake make g++ pkg-config libsdl2-dev libgl-dev libopengl-dev libfreetype-dev
  libfontconfig-dev libx11-dev fonts-liberation zlib1g-dev gzip)
# xfonts-base: the fonts of SDL's message boxes on a bare X server.
# The package test: dpkg-dev (dpkg-shlibdeps) and file for cpack, and the checkers of the package,
# its desktop entry, AppStream metadata and manual pages.
test_packages=(googletest libgtest-dev libbenchmark-dev xvfb xauth xfonts-base xdotool x11-apps x11-utils
  imagemagick clang libclang-rt-14-dev python3 dpkg-dev file lintian desktop-file-utils appstream
  man-db)
# The Windows build and its test under Wine. Wine finds OpenGL, fonts and most X extensions at run
# time, so what it merely recommends is named too; "wine64" is the loader for 64-bit programs.
# icoutils reads the icon and version resources of kelto.exe.
wine_packages=(g++-mingw-w64-x86-64 wine wine64 libgl1 libgl1-mesa-dri libxcomposite1 libxcursor1
  libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1 fonts-liberation xvfb xauth
  xdotool x11-apps x11-utils imagemagick unzip icoutils)

# The WebAssembly build: Debian's Emscripten, the acorn module its optimizer loads, node to run it.
wasm_packages=(emscripten node-acorn nodejs)

case "${1:-build}" in
build) wanted=("${build_packages[@]}") ;;
test) wanted=("${build_packages[@]}" "${test_packages[@]}") ;;
wine) wanted=("${build_packages[@]}" "${wine_packages[@]}") ;;
wasm) wanted=("${wasm_packages[@]}") ;;
*)
  echo "usage: $0 build|test|wine|wasm" >&2
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
