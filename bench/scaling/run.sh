#!/usr/bin/env bash
# Times the album's picture scaling against vipsthumbnail.
#
# Makes N photo-sized JPEGs (4000 x 3000, quality 90, the same pixels on every
# run), then times, best of ROUNDS runs each:
#   ours   one decode per picture (shrunk on load where the boxes allow), then a
#          160x160 thumbnail and a 1024x768 picture, both saved at quality 85;
#   vips   vipsthumbnail making only the 1024x768 picture;
#   vips2  vipsthumbnail run twice, making both sizes.
# and prints the times, the ratio ours / vips and the peak memory of each.
#
#   bench/scaling/run.sh [BUILD_DIR]      (default: build)
# Environment: N (30), ROUNDS (2), WORK (/tmp/snapcrate-scaling-bench).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
driver=$build/bench/pixcore_scaling_bench
n=${N:-30}
rounds=${ROUNDS:-2}
work=${WORK:-/tmp/snapcrate-scaling-bench}

for tool in vips vipsthumbnail /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run tools/setup.sh" >&2; exit 1; }
done
[ -x "$driver" ] || { echo "missing $driver: build target pixcore_scaling_bench" >&2; exit 1; }

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

# Runs a command ROUNDS times; prints the best wall time and the best CPU time
# (user + system) in seconds, and the largest peak resident size in MB. CPU
# time says more than wall time on a machine that is busy with other work.
measure() {
  local best="" best_cpu="" peak=0 log=$work/time.log
  for _ in $(seq "$rounds"); do
    rm -rf "$work/out" && mkdir -p "$work/out"
    /usr/bin/time -v -o "$log" "$@" >/dev/null
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

both_sizes() {
  vipsthumbnail "$@" --size 1024x768 -o "$work/out/%s_scaled.jpg[Q=85,strip]"
  vipsthumbnail "$@" --size 160x160 -o "$work/out/%s_thumb.jpg[Q=85,strip]"
}

files=("$photos"/photo_*.jpg)
read -r ours ours_cpu ours_mb < <(measure "$driver" "$work/out" "${files[@]}")
read -r vips vips_cpu vips_mb < <(measure vipsthumbnail "${files[@]}" --size 1024x768 \
  -o "$work/out/%s_scaled.jpg[Q=85,strip]")
export -f both_sizes
export work
read -r vips2 vips2_cpu vips2_mb < <(measure bash -c 'both_sizes "$@"' _ "${files[@]}")

echo "pictures: $n of 4000x3000, best of $rounds runs; wall and CPU seconds, peak memory"
row() { printf '%-46s %6.2f s %6.2f s CPU %4d MB\n' "$@"; }
row "ours (thumbnail + scaled, one decode)" "$ours" "$ours_cpu" "$ours_mb"
row "vipsthumbnail (scaled only)" "$vips" "$vips_cpu" "$vips_mb"
row "vipsthumbnail twice (both sizes)" "$vips2" "$vips2_cpu" "$vips2_mb"
awk -v a="$ours" -v b="$vips" -v c="$vips2" -v ac="$ours_cpu" -v bc="$vips_cpu" -v cc="$vips2_cpu" 'BEGIN {
  printf "ratio ours / vipsthumbnail scaled only: %.2f wall, %.2f CPU\n", a / b, ac / bc
  printf "ratio ours / vipsthumbnail both sizes:  %.2f wall, %.2f CPU\n", a / c, ac / cc
}'
