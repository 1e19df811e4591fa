#!/usr/bin/env bash
# Times reading the EXIF data of 1,000 camera pictures, each tool in one process:
#   snapcrate-cli exif --summary   the album's EXIF summary (dump into memory, pick values)
#   exiftool                        the same summary values
#   exiv2                           the same summary values
# and, as a second round, a full dump of every entry by each of them
# (snapcrate-cli exif, exiftool -a, exiv2 -pa). With python3 at hand it also
# times libtagcore.so alone, dumping every file into memory. With the HEIC
# samples at hand (HEIC_SAMPLES, ../shared/testdata/heic-samples) a last round
# times the summary of N HEIC pictures against N JPEG pictures of about the
# same size carrying the same EXIF data (made with vips and exiftool).
# Prints the best wall and CPU seconds of ROUNDS runs and the ratios to ours.
#
#   bench/exif/run.sh [BUILD_DIR]      (default: build)
# Environment: N (1000), ROUNDS (3), WORK (/tmp/snapcrate-exif-bench),
# SAMPLES (../shared/testdata/exif-samples beside the repository).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
n=${N:-1000}
rounds=${ROUNDS:-3}
work=${WORK:-/tmp/snapcrate-exif-bench}
samples=${SAMPLES:-$root/../shared/testdata/exif-samples}
heic_samples=${HEIC_SAMPLES:-$root/../shared/testdata/heic-samples}
cli=$build/bin/snapcrate-cli
lib=$build/bin/libtagcore.so

for tool in exiftool exiv2 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run tools/setup.sh" >&2; exit 1; }
done
[ -f "$lib" ] || { echo "missing $lib: build target tagcore" >&2; exit 1; }

# The corpus: the camera samples that carry EXIF data, copied round-robin; without
# them one small picture given camera tags by exiftool, copied N times.
corpus=$work/corpus
mkdir -p "$corpus"
if [ "$(find "$corpus" -name 'pic_*.jpg' | wc -l)" -ne "$n" ]; then
  rm -f "$corpus"/pic_*.jpg
  sources=()
  if [ -d "$samples" ]; then
    while IFS= read -r f; do sources+=("$f"); done < <(
      exiftool -q -q -if '$ExifByteOrder' -p '$Directory/$FileName' "$samples"/*.jpg 2>/dev/null || true)
  fi
  if [ ${#sources[@]} -eq 0 ]; then
    echo "no camera samples at $samples: making one picture with exiftool"
    command -v vips >/dev/null || { echo "missing vips: run tools/setup.sh" >&2; exit 1; }
    vips black "$work/base.jpg" 64 48
    exiftool -q -overwrite_original -Make=Canon -Model="Canon PowerShot A70" \
      -DateTimeOriginal="2004:05:12 13:45:01" -ModifyDate="2004:05:12 13:45:01" \
      -ExposureTime=1/250 -FNumber=2.8 -ISO=100 -Flash=16 -FocalLength=5.4 \
      -ExifImageWidth=2048 -ExifImageHeight=1536 "$work/base.jpg"
    sources=("$work/base.jpg")
  fi
  echo "making $n pictures in $corpus from ${#sources[@]} camera files"
  for i in $(seq 0 $((n - 1))); do
    cp "${sources[$((i % ${#sources[@]}))]}" "$corpus/pic_$(printf %04d "$i").jpg"
  done
fi
files=("$corpus"/pic_*.jpg)

# Runs a command ROUNDS times with its output thrown away; sets best_wall and
# best_cpu (user + system seconds).
measure() {
  best_wall=; best_cpu=
  for _ in $(seq 1 "$rounds"); do
    /usr/bin/time -f '%e %U %S' -o "$work/time.txt" "$@" >/dev/null 2>&1 || true
    # A tool that fails on some picture adds a "Command exited" line first.
    read -r wall user sys < <(tail -n 1 "$work/time.txt")
    cpu=$(echo "$user + $sys" | bc -l)
    if [ -z "$best_wall" ] || (( $(echo "$wall < $best_wall" | bc -l) )); then best_wall=$wall; fi
    if [ -z "$best_cpu" ] || (( $(echo "$cpu < $best_cpu" | bc -l) )); then best_cpu=$cpu; fi
  done
}

ratio() { if (( $(echo "$2 > 0" | bc -l) )); then printf '%.1f' "$(echo "$1 / $2" | bc -l)"; else echo '-'; fi; }

row() {  # name, then the reference times (ours) for the ratios
  printf '  %-34s wall %7.2f s  cpu %7.2f s' "$1" "$best_wall" "$best_cpu"
  if [ -n "${2:-}" ]; then
    printf '   x%s wall, x%s cpu' "$(ratio "$best_wall" "$2")" "$(ratio "$best_cpu" "$3")"
  fi
  printf '\n'
}

summary_tags=(-Make -Model -DateTimeOriginal -ExifImageWidth -ExifImageHeight -ExposureTime
  -ShutterSpeedValue -ISO -FNumber -Flash -FocalLength)
exiv2_keys=(-K Exif.Image.Make -K Exif.Image.Model -K Exif.Photo.DateTimeOriginal
  -K Exif.Photo.PixelXDimension -K Exif.Photo.PixelYDimension -K Exif.Photo.ExposureTime
  -K Exif.Photo.ShutterSpeedValue -K Exif.Photo.ISOSpeedRatings -K Exif.Photo.FNumber
  -K Exif.Photo.Flash -K Exif.Photo.FocalLength)

has_cli=0
if [ -x "$cli" ] && "$cli" exif --summary "${files[0]}" 2>/dev/null | grep -q '^DateValid: '; then
  has_cli=1
fi

echo "EXIF of ${#files[@]} pictures, best of $rounds runs, one process per tool"
echo "summary values:"
ours_wall=; ours_cpu=
if [ $has_cli -eq 1 ]; then
  measure "$cli" exif --summary "${files[@]}"
  ours_wall=$best_wall; ours_cpu=$best_cpu
  row "snapcrate-cli exif --summary"
else
  echo "  snapcrate-cli exif: not in $build/bin (skipped; ratios to exiftool only)"
fi
measure exiftool -q -fast -s "${summary_tags[@]}" "${files[@]}"
ex_wall=$best_wall; ex_cpu=$best_cpu
row "exiftool -fast (same tags)" $ours_wall $ours_cpu
measure exiv2 -q -Pkv "${exiv2_keys[@]}" "${files[@]}"
row "exiv2 -Pkv (same keys)" $ours_wall $ours_cpu

echo "every entry:"
ours_wall=; ours_cpu=
if [ $has_cli -eq 1 ]; then
  measure "$cli" exif "${files[@]}"
  ours_wall=$best_wall; ours_cpu=$best_cpu
  row "snapcrate-cli exif"
fi
measure exiftool -q -a -G1 -s "${files[@]}"
row "exiftool -a -G1" $ours_wall $ours_cpu
measure exiv2 -q -pa "${files[@]}"
row "exiv2 -pa" $ours_wall $ours_cpu

if command -v python3 >/dev/null; then
  cat > "$work/tagcore_alone.py" <<'PY'
import ctypes, sys
lib = ctypes.CDLL(sys.argv[1])
buffer = ctypes.create_string_buffer(6000)
failures = sum(1 for path in sys.argv[2:]
               if lib.TagCore_DumpInfoToAdr(path.encode(), buffer, len(buffer)) != 0)
print(failures)
PY
  echo "the library alone:"
  measure python3 "$work/tagcore_alone.py" "$lib" "${files[@]}"
  row "libtagcore dump into 6000 bytes"
  echo "  exiftool summary takes x$(ratio "$ex_wall" "$best_wall") the wall time of this (python3 start included)"
fi

# HEIC against JPEG: each HEIC sample beside a JPEG of the same picture whose
# quality is picked to come closest to the HEIC file's size.
shopt -s nullglob
heics=("$heic_samples"/*.HEIC "$heic_samples"/*.heic)
if [ ${#heics[@]} -gt 0 ] && [ $has_cli -eq 1 ] && command -v vips >/dev/null; then
  pairs=$work/pairs
  mkdir -p "$pairs"
  if [ "$(find "$pairs" -name 'heic_*.heic' | wc -l)" -ne "$n" ]; then
    rm -f "$pairs"/heic_*.heic "$pairs"/jpeg_*.jpg
    made=()
    for h in "${heics[@]}"; do
      base=$work/$(basename "${h%.*}")
      target=$(stat -c %s "$h")
      best=
      for q in 95 90 85 80 75 70 60 50 40; do
        vips copy "$h" "$base.q$q.jpg[Q=$q]"
        size=$(stat -c %s "$base.q$q.jpg")
        if [ -z "$best" ] || [ $(( size > target ? size - target : target - size )) -lt \
             $(( best_size > target ? best_size - target : target - best_size )) ]; then
          best=$q; best_size=$size
        fi
      done
      cp "$base.q$best.jpg" "$base.jpg"
      rm -f "$base".q*.jpg
      exiftool -q -overwrite_original -TagsFromFile "$h" -exif:all "$base.jpg"
      echo "  $(basename "$h"): $target bytes; JPEG at Q=$best: $(stat -c %s "$base.jpg") bytes"
      made+=("$h|$base.jpg")
    done
    for i in $(seq 0 $((n - 1))); do
      pair=${made[$((i % ${#made[@]}))]}
      cp "${pair%%|*}" "$pairs/heic_$(printf %04d "$i").heic"
      cp "${pair##*|}" "$pairs/jpeg_$(printf %04d "$i").jpg"
    done
  fi
  echo "HEIC against JPEG of the same size (${n} each):"
  measure "$cli" exif --summary "$pairs"/jpeg_*.jpg
  jpeg_wall=$best_wall; jpeg_cpu=$best_cpu
  row "snapcrate-cli exif --summary JPEG"
  measure "$cli" exif --summary "$pairs"/heic_*.heic
  row "snapcrate-cli exif --summary HEIC" $jpeg_wall $jpeg_cpu
  if command -v python3 >/dev/null; then
    measure python3 "$work/tagcore_alone.py" "$lib" "$pairs"/jpeg_*.jpg
    jpeg_wall=$best_wall; jpeg_cpu=$best_cpu
    row "libtagcore dump JPEG"
    measure python3 "$work/tagcore_alone.py" "$lib" "$pairs"/heic_*.heic
    row "libtagcore dump HEIC" $jpeg_wall $jpeg_cpu
  fi
else
  echo "HEIC against JPEG: skipped (needs the HEIC samples at $heic_samples, snapcrate-cli and vips)"
fi
