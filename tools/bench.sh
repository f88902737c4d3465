#!/usr/bin/env bash
# Runs every benchmark binary of a build; each prints its own baseline and ratio.
set -euo pipefail
build=${1:-build}
status=0
for bench in "$build"/bench/*_bench; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  QT_QPA_PLATFORM=offscreen "$bench" || status=1
done
exit $status
