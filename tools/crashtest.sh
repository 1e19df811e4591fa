#!/usr/bin/env bash
# Kills imports and date shifts with SIGKILL at random moments, round after
# round, and checks that nothing is lost, doubled or half written:
#   import  after the kill, every file under an archive name is one of the
#           source pictures, byte for byte; after a rerun, every source picture
#           is in the archive exactly once, byte for byte, and no unfinished
#           temporary file is left;
#   adjust  after the kill, every picture is either untouched or completely
#           shifted; a following complete run leaves no temporary file.
# Usage: tools/crashtest.sh [BUILD_DIR] [ROUNDS] [PICTURES]   (defaults: build 50 300)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
rounds=${2:-50}
count=${3:-300}
cli=$build/bin/snapcrate-cli
maker=$build/tools/snapcrate_make_pictures
for tool in "$cli" "$maker"; do
  [ -x "$tool" ] || { echo "crashtest: $tool is missing; build first" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home"
cp -r "$build/bin/etc" "$work/home/etc"
rm -f "$work/home/etc/snapcrate.ini"

"$maker" "$work/card" "$count" 128
sums() { (cd "$1" && find . -type f ! -name '.*' "${@:2}" -print0 | xargs -0 -r sha256sum); }
sums "$work/card" | cut -c1-64 | sort >"$work/card.sums"
[ -z "$(uniq -d "$work/card.sums")" ] || { echo "crashtest: the pictures are not all different" >&2; exit 2; }

failures=0
fail() { echo "FAIL $1 round $round: $2"; failures=$((failures + 1)); }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Starts the command in the background and kills it after a random part of `span` ms.
kill_at_random() {
  local ms=$(((RANDOM * 32768 + RANDOM) % span))
  "$@" >"$work/out" 2>&1 &
  local pid=$!
  sleep "$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000)))"
  if kill -9 "$pid" 2>/dev/null; then killed=$((killed + 1)); fi
  wait "$pid" 2>/dev/null || true
}
# Arrays, not functions: the background job must be the program itself, or the
# kill would hit a subshell and leave the program running.
import=("$cli" --home "$work/home" import --source "$work/card" --dest "$work/archive" --no-orig-name --no-log)
adjust=("$cli" --home "$work/home" adjust --dir "$work/pics" --hours 1)

# Import: a full run tells how long one takes.
mkdir "$work/archive"
start=$(now_ms)
"${import[@]}" >"$work/out" 2>&1 || { echo "crashtest: the import failed:" >&2; cat "$work/out" >&2; exit 1; }
span=$(($(now_ms) - start))
echo "import of $count pictures takes ${span} ms; $rounds rounds"
killed=0 copied_before_kill=0
for round in $(seq "$rounds"); do
  rm -rf "$work/archive"
  mkdir "$work/archive"
  kill_at_random "${import[@]}"
  sums "$work/archive" -name '*.jpg' | cut -c1-64 | sort >"$work/archive.sums"
  copied_before_kill=$((copied_before_kill + $(wc -l <"$work/archive.sums")))
  [ -z "$(comm -23 "$work/archive.sums" "$work/card.sums")" ] ||
    fail import "a file under an archive name is no source picture"
  "${import[@]}" >"$work/out" 2>&1 || fail import "the rerun failed: $(tail -1 "$work/out")"
  sums "$work/archive" | cut -c1-64 | sort >"$work/archive.sums"
  cmp -s "$work/archive.sums" "$work/card.sums" || fail import "the archive does not hold every picture exactly once"
  [ -z "$(find "$work/archive" -name '.*' -print -quit)" ] || fail import "a temporary file was left"
done
echo "import: killed $killed times during the run, $((copied_before_kill / rounds)) pictures in the archive at the kill on average"

# Adjust: every picture once untouched, once shifted by a complete run.
cp -a "$work/card" "$work/original"
cp -a "$work/card" "$work/pics"
start=$(now_ms)
"${adjust[@]}" >"$work/out" 2>&1 || { echo "crashtest: the adjustment failed:" >&2; cat "$work/out" >&2; exit 1; }
span=$(($(now_ms) - start))
mv "$work/pics" "$work/shifted"
sums "$work/original" | sort >"$work/original.sums"
sums "$work/shifted" | sort >"$work/shifted.sums"
echo "adjustment of $count pictures takes ${span} ms; $rounds rounds"
killed=0 shifted_before_kill=0 leftovers=0
for round in $(seq "$rounds"); do
  rm -rf "$work/pics"
  cp -a "$work/original" "$work/pics"
  kill_at_random "${adjust[@]}"
  sums "$work/pics" | sort >"$work/pics.sums"
  # Each line names a picture and its bytes: untouched, shifted, or neither.
  comm -23 "$work/pics.sums" "$work/original.sums" >"$work/changed.sums"
  comm -23 "$work/changed.sums" "$work/shifted.sums" >"$work/bad.sums"
  shifted_before_kill=$((shifted_before_kill + $(wc -l <"$work/changed.sums") - $(wc -l <"$work/bad.sums")))
  while IFS= read -r line; do fail adjust "half shifted or damaged: ${line#* }"; done <"$work/bad.sums"
  [ "$(wc -l <"$work/pics.sums")" -eq "$count" ] || fail adjust "pictures are missing"
  leftovers=$((leftovers + $(find "$work/pics" -name '.snapcrate-*' | wc -l)))
  "${adjust[@]}" >"$work/out" 2>&1 || fail adjust "the rerun failed: $(tail -1 "$work/out")"
  [ -z "$(find "$work/pics" -name '.*' -print -quit)" ] || fail adjust "a temporary file was left after the rerun"
done
echo "adjust: killed $killed times during the run, $((shifted_before_kill / rounds)) pictures shifted at the kill on average," \
  "$leftovers unfinished copies left by kills (all removed by the reruns)"

if [ "$failures" -eq 0 ]; then echo "crashtest: all checks passed"; else echo "crashtest: $failures failures"; exit 1; fi
