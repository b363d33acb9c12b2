#!/usr/bin/env bash
# Plays one replay script through kelto-replay and compares the printed world, byte for byte,
# with the expected output kept beside the script (gzip-compressed).
# Usage: check_replay.sh KELTO_REPLAY SCRIPT EXPECTED_GZ
set -u
Replay=$1
Script=$2
Expected=$3
Actual=$(mktemp)
trap 'rm -f "$Actual"' EXIT
if ! "$Replay" < "$Script" > "$Actual"; then
  echo "kelto-replay failed on $Script" >&2
  exit 1
fi
if gzip -dc "$Expected" | cmp -s - "$Actual"; then
  exit 0
fi
echo "world differs from $Expected (first differences):" >&2
gzip -dc "$Expected" | diff - "$Actual" | head -n 40 >&2
exit 1
