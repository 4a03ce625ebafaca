#!/usr/bin/env bash
# The built module must export exactly korrinAPI, korrinEntry and korrinExit.
set -euo pipefail
library=$1
exports=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TtWwDdBbVviR]$/ {print $3}' | sort | tr '\n' ' ')
expected="korrinAPI korrinEntry korrinExit "
if [ "$exports" != "$expected" ]; then
  echo "exports of $library: '$exports', expected '$expected'"
  exit 1
fi
echo "exports: $exports"
