#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those that are missing.
# Usage: scripts/deps.sh build|test
set -euo pipefail

build_packages=(cmake make g++ pkg-config libsdl2-dev libgl-dev libfreetype-dev libfontconfig-dev
  libx11-dev fonts-liberation)
test_packages=(googletest libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-apps x11-utils
  imagemagick clang libclang-rt-14-dev python3)

case "${1:-build}" in
build) wanted=("${build_packages[@]}") ;;
test) wanted=("${build_packages[@]}" "${test_packages[@]}") ;;
*)
  echo "usage: $0 build|test" >&2
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
