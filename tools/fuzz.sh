#!/usr/bin/env bash
# Runs every fuzz target of a SNAPCRATE_FUZZ build for a while on a copy of its
# seed corpus. Usage: tools/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
build=${1:?build folder}
seconds=${2:-60}
list=$build/fuzz/targets.txt
[ -f "$list" ] || { echo "fuzz: no targets in $build"; exit 0; }
sort -u "$list" | while read -r name corpus; do
  work=$(mktemp -d)
  cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "fuzz: $name for ${seconds}s"
  "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=0 "$work" 2>"$work.log" || { tail -50 "$work.log"; exit 1; }
  rm -rf "$work" "$work.log"
done
