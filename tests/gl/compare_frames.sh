#!/usr/bin/env bash
# Draws the comparison frames (the GL test binary's --frames) with the OpenGL 1.1 build and the
# OpenGL ES 3 build, each on an X display of its own, and counts the pixels that differ per frame
# with ImageMagick. Both sets stay in OUT with a difference picture per frame (differing pixels in
# red) to look at.
# Usage: compare_frames.sh GL1_TESTS GLES3_TESTS OUT
set -euo pipefail
out=$3
# Pixels a frame may differ by: none (see docs/gles.md).
tolerance=0
rm -rf "$out"
for build in gl1 gles3; do
  binary=$1
  [[ $build == gl1 ]] || binary=$2
  xvfb-run -a -s "-screen 0 1024x768x24" "$binary" --frames "$out/$build"
done
status=0
frames=0
for reference in "$out"/gl1/*.ppm; do
  name=$(basename "$reference" .ppm)
  frames=$((frames + 1))
  # compare prints the count on standard error and exits 1 when the pictures differ.
  differ=$(compare -metric AE "$reference" "$out/gles3/$name.ppm" "$out/$name-diff.png" 2>&1) ||
    [[ $? -eq 1 ]] || { echo "FAIL: $name: $differ"; status=1; continue; }
  echo "$name: $differ pixels differ"
  [[ $differ -le $tolerance ]] || status=1
done
[[ $frames -ge 6 ]] || { echo "FAIL: only $frames frames drawn"; status=1; }
exit $status
