#!/usr/bin/env bash
# Times the generator's ResizeImage against vipsthumbnail on 12-megapixel photos.
#
# Makes N photo-like JPEGs (4000 x 3000, quality 90, the same pixels on every
# run), then times, best of ROUNDS runs each:
#   ours   ResizeImage per photo: a 160x160 thumbnail and a 1024x768 picture
#          from one decode, quality 85 (the same program then runs once more
#          over the finished files and reports what that rerun made);
#   vips   vipsthumbnail making only the 1024x768 picture, quality 85.
# and prints both, the ratio ours / vips and the peak memory of each.
#
#   bench/resize/run.sh [BUILD_DIR]      (default: build)
# Environment: N (20), ROUNDS (2), WORK (/tmp/snapcrate-resize-bench).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
driver=$build/bench/resize_bench
n=${N:-20}
rounds=${ROUNDS:-2}
work=${WORK:-/tmp/snapcrate-resize-bench}

for tool in vips vipsthumbnail /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run tools/setup.sh" >&2; exit 1; }
done
[ -x "$driver" ] || { echo "missing $driver: build target resize_bench" >&2; exit 1; }
[ -f "$build/bin/libpixcore.so" ] || { echo "missing $build/bin/libpixcore.so: build target pixcore" >&2; exit 1; }

photos=$work/photos
mkdir -p "$photos"
if [ "$(find "$photos" -name 'photo_*.jpg' | wc -l)" -ne "$n" ]; then
  echo "making $n test photos in $photos"
  rm -f "$photos"/photo_*.jpg
  tmp=$work/tmp
  mkdir -p "$tmp"
  for i in $(seq -w 1 "$n"); do
    # Blurred grain for texture, with two gradients for colour and tone.
    vips gaussnoise "$tmp/noise.v" 4000 3000 --sigma 45 --mean 128 --seed "$i"
    vips gaussblur "$tmp/noise.v" "$tmp/grain.v" 1.5
    vips xyz "$tmp/xy.v" 4000 3000
    vips linear "$tmp/xy.v" "$tmp/ramps.v" "0.05 0.06" "$((20 + 10#$i)) 15"
    vips bandjoin "$tmp/ramps.v $tmp/grain.v" "$tmp/colour.v"
    vips cast "$tmp/colour.v" "$tmp/bytes.v" uchar
    vips copy "$tmp/bytes.v" "$photos/photo_$i.jpg[Q=90]" --interpretation srgb
  done
  rm -rf "$tmp"
fi

# Runs a command ROUNDS times in a fresh output directory; prints the best
# wall and CPU (user + system) seconds and the largest peak resident size in
# MB. The command's own output goes to $work/last.out.
measure() {
  local best="" best_cpu="" peak=0 log=$work/time.log
  for _ in $(seq "$rounds"); do
    rm -rf "$work/out" && mkdir -p "$work/out"
    /usr/bin/time -v -o "$log" "$@" >"$work/last.out"
    local wall cpu kb
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,p,":"); s=0; for(i=1;i<=n;i++) s=s*60+p[i]; print s}' "$log")
    cpu=$(awk -F': ' '/User time|System time/ {s+=$2} END {print s}' "$log")
    kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
    if [ -z "$best" ] || awk -v a="$wall" -v b="$best" 'BEGIN {exit !(a < b)}'; then best=$wall; fi
    if [ -z "$best_cpu" ] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN {exit !(a < b)}'; then best_cpu=$cpu; fi
    if [ "$kb" -gt "$peak" ]; then peak=$kb; fi
  done
  echo "$best $best_cpu $((peak / 1024))"
}

read -r ours ours_cpu ours_mb < <(measure "$driver" "$build/bin" "$photos" "$work/out")
ours_line=$(cat "$work/last.out")
files=("$photos"/photo_*.jpg)
read -r vips vips_cpu vips_mb < <(measure vipsthumbnail "${files[@]}" --size 1024x768 \
  -o "$work/out/%s_scaled.jpg[Q=85,strip]")

echo "photos: $n of 4000x3000, best of $rounds runs; wall and CPU seconds, peak memory"
row() { printf '%-52s %6.2f s %6.2f s CPU %4d MB\n' "$@"; }
row "ResizeImage (thumbnail + 1024x768, one decode)" "$ours" "$ours_cpu" "$ours_mb"
row "vipsthumbnail (1024x768 only)" "$vips" "$vips_cpu" "$vips_mb"
echo "ResizeImage driver: $ours_line"
awk -v a="$ours" -v b="$vips" -v ac="$ours_cpu" -v bc="$vips_cpu" 'BEGIN {
  printf "ratio ResizeImage / vipsthumbnail: %.2f wall, %.2f CPU\n", a / b, ac / bc
}'
