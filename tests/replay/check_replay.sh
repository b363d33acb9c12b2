#!/usr/bin/env bash
# Usage: check_replay.sh KELTO_REPLAY SCRIPT EXPECTED_GZ
# Plays SCRIPT and compares the printed world, byte for byte, with the gzip-compressed expected
# output; shows the first differences.
set -uo pipefail
Actual=$(mktemp)
trap 'rm -f "$Actual"' EXIT
"$1" < "$2" > "$Actual" || { echo "kelto-replay failed on $2" >&2; exit 1; }
gzip -dc "$3" | diff - "$Actual" | head -n 40 >&2
