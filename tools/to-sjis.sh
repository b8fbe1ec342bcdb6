#!/usr/bin/env bash
# Converts a UTF-8 text with LF line ends into a Shift-JIS script with CR LF,
# as game scripts are stored: tools/to-sjis.sh in.utf8.txt out.txt
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 IN OUT" >&2; exit 2; }
iconv -f UTF-8 -t CP932 "$1" | sed 's/$/\r/' > "$2"
