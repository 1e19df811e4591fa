#!/usr/bin/env bash
# The benchmark suite: builds a deterministic picture tree, then times
# Snapcrate's batch front end against the usual tools on it, in one run:
#
#   1. first generation (Standard: 160x160 thumbnails, one 1024x768 size)
#      against vipsthumbnail making only the 1024x768 pictures, both using
#      every core (vipsthumbnail: one process per core, each given an equal
#      share of the files, each also threading on its own; and one process
#      relying on its own threading alone; the faster counts);
#   2. a second generation over the unchanged tree against the first;
#   3. `snapcrate-cli exif --summary` against exiftool and exiv2 reading the
#      same values;
#   4. `snapcrate-cli import` against `cp -r` of the same files;
#   5. the peak memory of each of our runs (/usr/bin/time -v);
#   6. the decoding floor: every picture decoded once at the scale libpixcore
#      decodes it for the 1024x768 box, with libjpeg-turbo, on every core
#      (suite_decode_floor), against which the first generation is set;
#   7. the picture quality: the PSNR of every scaled file against a
#      full-resolution lanczos3 reference filtered in floating point
#      (suite_quality), each checked against quality-baseline.txt (at most
#      0.5 dB lower);
#   8. 200 pictures in 20 folders: first and second generation and the
#      floor again, and how the figures per picture grow (they must stay
#      linear).
#
# Every figure is the best of ROUNDS runs (wall clock, nanosecond timer; peak
# memory: the largest of the runs). Prints a table and the targets.
#
#   bench/suite/run.sh [BUILD_DIR]          (default: build)
# Environment: ROUNDS (3), LARGE_ROUNDS (1, for the 200 pictures), WORK
# (/tmp/snapcrate-suite-bench), KEEP=1 keeps the last album and import.
# Needs: the targets snapcrate-cli, pixcore, tagcore, snapcrate_etc, suite_corpus_picture,
# suite_decode_floor and suite_quality
# in BUILD_DIR; vips, vipsthumbnail, exiftool, exiv2, /usr/bin/time
# (tools/setup.sh installs them).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
rounds=${ROUNDS:-3}
work=${WORK:-/tmp/snapcrate-suite-bench}
cli=$build/bin/snapcrate-cli
maker=$build/bench/suite_corpus_picture
floor=$build/bench/suite_decode_floor
quality=$build/bench/suite_quality
cores=$(nproc)

for tool in vips vipsthumbnail exiftool exiv2 /usr/bin/time xargs; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run tools/setup.sh" >&2; exit 1; }
done
for file in "$cli" "$maker" "$floor" "$quality" "$build/bin/libpixcore.so" "$build/bin/libtagcore.so" "$build/bin/etc"; do
  [ -x "$file" ] || [ -f "$file" ] || {
    echo "missing $file: build the targets snapcrate-cli pixcore tagcore snapcrate_etc suite_corpus_picture suite_decode_floor suite_quality" >&2
    exit 1
  }
done
mkdir -p "$work"

# ---------------------------------------------------------------- the corpus
# Folders, pictures and camera data; a change here must change the recipe
# stamp, so an older corpus is made again.
recipe=suite-corpus-3
corpus=$work/corpus
pictures=$corpus/pictures

# name width height  (portraits are 3000 x 4000, the PNG 2000 x 1504)
picture_list() {
  local i
  for i in 01 02 03 04 05 06 07 08 09 10; do echo "2023 Spring/IMG_11$i.jpg 4000 3000"; done
  echo "2023 Spring/IMG_1111.jpg 3000 4000"
  echo "2023 Spring/IMG_1112.jpg 3000 4000"
  for i in 01 02 03 04 05 06 07 08; do echo "2023 Summer/IMG_21$i.jpg 4000 3000"; done
  echo "2023 Summer/IMG_2109.jpg 3000 4000"
  echo "2023 Summer/Panorama_edit.png 2000 1504"
  for i in 01 02 03 04; do echo "2023 Summer/_harbour/IMG_22$i.jpg 4000 3000"; done
  for i in 01 02 03 04 05 06; do echo "Travel/Rome/DSC_31$i.jpg 4000 3000"; done
  echo "Travel/Rome/DSC_3107.jpg 3000 4000"
  for i in 01 02 03 04 05; do echo "Travel/Paris/DSC_32$i.jpg 4000 3000"; done
  echo "Travel/Paris/DSC_3206.jpg 3000 4000"
}

make_corpus() {
  echo "making the corpus in $pictures (once; about a minute per core)"
  rm -rf "$corpus"
  mkdir -p "$pictures"
  local seed=1 jobs=$corpus/jobs.txt args=$corpus/exif.args name width height
  : >"$jobs"
  : >"$args"
  while read -r line; do
    width=$(awk '{print $(NF-1)}' <<<"$line")
    height=$(awk '{print $NF}' <<<"$line")
    name=${line% * *}
    mkdir -p "$pictures/$(dirname "$name")"
    printf '%s\0%s\0%s\0%s\0' "$pictures/$name" "$width" "$height" "$seed" >>"$jobs"
    if [[ $name == *.jpg ]]; then
      # Two cameras, one picture a minute; every tag the EXIF summary reads.
      local make=Canon model="Canon EOS 80D" day=$((1 + seed / 10))
      if [[ $name == Travel/* ]]; then make=NIKON; model="NIKON D7500"; fi
      printf '%s\n' -overwrite_original -q "-Make=$make" "-Model=$model" \
        "-DateTimeOriginal=2023:05:$(printf %02d "$day") 1$((seed % 10)):$(printf %02d "$seed"):00" \
        "-CreateDate=2023:05:$(printf %02d "$day") 1$((seed % 10)):$(printf %02d "$seed"):00" \
        "-ExposureTime=1/$((60 * (1 + seed % 8)))" "-FNumber=$((4 + seed % 5)).6" "-ISO=$((100 * (1 + seed % 4)))" \
        "-FocalLength=$((18 + seed * 3 % 120))" "-Flash#=$((seed % 2 * 9 + 16))" \
        "-ExifImageWidth=$width" "-ExifImageHeight=$height" "-Orientation#=1" \
        "$pictures/$name" -execute >>"$args"
    fi
    seed=$((seed + 1))
  done < <(picture_list)
  xargs -0 -n 4 -P "$cores" "$maker" <"$jobs"
  exiftool -@ "$args" >/dev/null
  # Description files: titles, a rating, a rotation and a chapter's index picture.
  printf '[Title]\r\nSpring\r\n[Description]\r\nTwelve pictures.\r\n[Image]\r\nIMG_1103.jpg\r\n' \
    >"$pictures/2023 Spring/_snapcrate_.dsc"
  printf '[Title]\r\nFirst light\r\n[Quality]\r\n2\r\n' >"$pictures/2023 Spring/IMG_1101.dsc"
  printf '[Title]\r\nTurned\r\n[Rotation]\r\n+90\r\n' >"$pictures/2023 Summer/IMG_2103.dsc"
  printf '[Title]\r\nAt the harbour\r\n' >"$pictures/2023 Summer/_harbour/_snapcrate_.dsc"
  echo "$recipe" >"$corpus/stamp"
}

if [ "$(cat "$corpus/stamp" 2>/dev/null)" != "$recipe" ]; then make_corpus; fi
mapfile -d '' all_pictures < <(find "$pictures" -type f \( -name '*.jpg' -o -name '*.png' \) -print0 | sort -z)
mapfile -d '' jpegs < <(find "$pictures" -type f -name '*.jpg' -print0 | sort -z)
megabytes=$(du -sm "$pictures" | cut -f1)

# A home of our own: the installation's data, no settings yet.
home=$work/home
rm -rf "$home" && mkdir -p "$home"
cp -r "$build/bin/etc" "$home/"
rm -f "$home/etc/snapcrate.ini"

# --------------------------------------------------------------- measuring
# timed NAME [--prepare CMD] -- COMMAND...: runs COMMAND ROUNDS times (CMD
# before each, untimed); sets wall_NAME (best seconds), cpu_NAME (best user +
# system seconds) and peak_NAME (largest peak resident MB of the command and
# its children).
timed() {
  local name=$1 prepare=
  shift
  if [ "$1" = --prepare ]; then prepare=$2; shift 2; fi
  [ "$1" = -- ] && shift
  local best= best_cpu= peak=0 start end seconds cpu kb
  for _ in $(seq "$rounds"); do
    [ -n "$prepare" ] && eval "$prepare"
    start=$(date +%s%N)
    /usr/bin/time -v -o "$work/time.log" "$@" >"$work/$name.out" 2>&1 || {
      echo "$name failed:" >&2; tail -n 20 "$work/$name.out" >&2; exit 1; }
    end=$(date +%s%N)
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.4f", (b - a) / 1e9}')
    cpu=$(awk -F': ' '/User time|System time/ {s += $2} END {printf "%.2f", s}' "$work/time.log")
    kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.log")
    if [ -z "$best" ] || awk -v a="$seconds" -v b="$best" 'BEGIN {exit !(a < b)}'; then best=$seconds; fi
    if [ -z "$best_cpu" ] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN {exit !(a < b)}'; then best_cpu=$cpu; fi
    if [ "$kb" -gt "$peak" ]; then peak=$kb; fi
  done
  printf -v "wall_$name" '%s' "$best"
  printf -v "cpu_$name" '%s' "$best_cpu"
  printf -v "peak_$name" '%s' "$((peak / 1024))"
}

album=$work/album
generate=("$cli" --home "$home" generate --source "$pictures" --dest "$album" --config Standard)
echo "corpus: ${#all_pictures[@]} pictures (${#jpegs[@]} JPEG with EXIF, 12 megapixels; one PNG), $megabytes MB, in $pictures"
echo "machine: $cores cores, load $(cut -d' ' -f1-3 /proc/loadavg); best of $rounds runs"
echo

timed first --prepare 'rm -rf "$album"' -- "${generate[@]}"
grep -q '^Successfull!' "$work/first.out" || { echo "first generation did not succeed:" >&2; cat "$work/first.out" >&2; exit 1; }
made=$(find "$album" -type f -name '*.jpg' | wc -l)
touch "$work/before_second"
timed second -- "${generate[@]}"
remade=$(find "$album" -name '*.jpg' -newer "$work/before_second" | wc -l)
[ "$remade" -eq 0 ] || { echo "the second generation made $remade picture files again" >&2; exit 1; }

# The quality of the album's scaled files: each one's PSNR against a
# full-resolution lanczos reference, checked against the figures the album
# had before the speed work (quality-baseline.txt: PSNR, path in the album).
# $1: the album. Prints "PSNR path" lines sorted by path.
album_quality() {
  local file rel chapter inner name turn original pairs=()
  while IFS= read -r -d '' file; do
    rel=${file#"$1/_snapcrate_/"}
    chapter=${rel%%/_[0-9]*x[0-9]*_/*}
    inner=${rel#"$chapter"/}
    name=${inner#*/}
    turn=0
    if [[ $name =~ ^(.*)r(90|180|270)\.jpg$ ]]; then name=${BASH_REMATCH[1]}.jpg; turn=${BASH_REMATCH[2]}; fi
    original=$pictures/$chapter/$name
    [ -f "$original" ] || original=${original%.jpg}
    pairs+=("$original" "$turn" "$file")
  done < <(find "$1/_snapcrate_" -path '*/_[0-9]*x[0-9]*_/*' -name '*.jpg' -print0)
  nice -n 5 "$quality" "${pairs[@]}" | sed "s|$1/||" | sort -k2
}
album_quality "$album" >"$work/quality.txt"
baseline=$here/quality-baseline.txt
quality_files=$(wc -l <"$work/quality.txt")
quality_min=$(awk 'NR == 1 || $1 < m {m = $1} END {print m}' "$work/quality.txt")
# The largest loss against the baseline, in dB (negative: better), and the file.
read -r quality_loss quality_worst < <(awk '
  NR == FNR && /^#/ {next}
  NR == FNR {base[substr($0, index($0, " ") + 1)] = $1; next}
  {path = substr($0, index($0, " ") + 1)}
  path in base {d = base[path] - $1; if (!seen || d > worst) {worst = d; file = path; seen = 1}}
  END {if (seen) printf "%.2f %s\n", worst, file; else print "none -"}' "$baseline" "$work/quality.txt")

thumbs=$work/vipsthumbnail
# vipsthumbnail writes what the album writes: quality 85, no metadata, and
# the standard Huffman tables (libpixcore optimises them only for pictures up
# to 512 x 512; the figure with optimize_coding follows for comparison). A
# generation lowers its priority by 5 nice steps for the run; vipsthumbnail
# runs at that priority too, so that other work on the machine weighs the
# same on both.
vips_options="[Q=85,strip]"
# One process per core, the files dealt out in equal shares,
per_process=$(( (${#all_pictures[@]} + cores - 1) / cores ))
# $1: the output options.
vips_parallel() {
  vips_command=(nice -n 5 sh -c 'n=$1 p=$2 out=$3 options=$4; shift 4; printf "%s\0" "$@" |
    xargs -0 -n "$n" -P "$p" vipsthumbnail --size 1024x768 -o "$out/%s_scaled.jpg$options"'
    sh "$per_process" "$cores" "$thumbs" "$1" "${all_pictures[@]}")
}
vips_parallel "$vips_options"
timed vips_parallel --prepare 'rm -rf "$thumbs"; mkdir -p "$thumbs"' -- "${vips_command[@]}"
# and one process for all, threading on its own.
timed vips_single --prepare 'rm -rf "$thumbs"; mkdir -p "$thumbs"' -- \
  nice -n 5 vipsthumbnail --size 1024x768 -o "$thumbs/%s_scaled.jpg$vips_options" "${all_pictures[@]}"
scaled=$(find "$thumbs" -name '*_scaled.jpg' | wc -l)
[ "$scaled" -eq "${#all_pictures[@]}" ] || { echo "vipsthumbnail made $scaled of ${#all_pictures[@]}" >&2; exit 1; }
vips_parallel "[Q=85,strip,optimize_coding]"
timed vips_optimised --prepare 'rm -rf "$thumbs"; mkdir -p "$thumbs"' -- "${vips_command[@]}"
if awk -v a="$wall_vips_parallel" -v b="$wall_vips_single" 'BEGIN {exit !(a <= b)}'; then
  wall_vips=$wall_vips_parallel; vips_how="$cores processes"
else
  wall_vips=$wall_vips_single; vips_how="1 process, its own threads"
fi

# The decoding floor: every picture decoded once, at libpixcore's scale for
# the 1024x768 box, nothing else; at the generation's priority.
timed floor -- nice -n 5 "$floor" 1024 768 "${all_pictures[@]}"

summary_tags=(-Make -Model -DateTimeOriginal -ExifImageWidth -ExifImageHeight -ExposureTime
  -ShutterSpeedValue -ISO -FNumber -Flash -FocalLength)
exiv2_keys=(-K Exif.Image.Make -K Exif.Image.Model -K Exif.Photo.DateTimeOriginal
  -K Exif.Photo.PixelXDimension -K Exif.Photo.PixelYDimension -K Exif.Photo.ExposureTime
  -K Exif.Photo.ShutterSpeedValue -K Exif.Photo.ISOSpeedRatings -K Exif.Photo.FNumber
  -K Exif.Photo.Flash -K Exif.Photo.FocalLength)
timed exif -- "$cli" exif --summary "${jpegs[@]}"
[ "$(grep -c '^DateValid: true' "$work/exif.out")" -eq "${#jpegs[@]}" ] || {
  echo "exif --summary found no date in some pictures" >&2; exit 1; }
timed exiftool -- exiftool -q -fast -s "${summary_tags[@]}" "${jpegs[@]}"
timed exiv2 -- exiv2 -q -Pkv "${exiv2_keys[@]}" "${jpegs[@]}"

# The import's source: the camera pictures alone (hard links), so that both
# sides copy the same files.
camera=$work/camera
rm -rf "$camera"
for file in "${jpegs[@]}"; do
  mkdir -p "$camera/$(dirname "${file#"$pictures"/}")"
  ln "$file" "$camera/${file#"$pictures"/}"
done
imported=$work/imported
copied=$work/copied
timed import --prepare 'chmod -R u+w "$imported" 2>/dev/null || true; rm -rf "$imported"; mkdir -p "$imported"' -- \
  "$cli" --home "$home" import --source "$camera" --dest "$imported"
[ "$(find "$imported" -type f -name '*.jpg' | wc -l)" -eq "${#jpegs[@]}" ] || {
  echo "import copied $(find "$imported" -type f -name '*.jpg' | wc -l) of ${#jpegs[@]} pictures" >&2; exit 1; }
timed cp --prepare 'rm -rf "$copied"' -- cp -r "$camera" "$copied"
# Neither waits for the disk (the import only asks for each copy's write-back
# to start). For reference, what the same copy costs flushed once at the end:
timed cp_sync --prepare 'rm -rf "$copied"; sync' -- sh -c 'cp -r "$1" "$2" && sync -f "$2"' sh "$camera" "$copied"

# 200 pictures in 20 folders of 10 (the corpus' JPEGs again, as hard links
# under new names): the first and second generation and the floor, to see
# that the cost per picture does not grow with the tree.
large=$corpus/large
if [ "$(cat "$large/stamp" 2>/dev/null)" != "$recipe" ]; then
  rm -rf "$large"
  for n in $(seq 0 199); do
    folder=$(printf '%s/Folder %02d' "$large/pictures" $((n / 10 + 1)))
    mkdir -p "$folder"
    ln "${jpegs[n % ${#jpegs[@]}]}" "$(printf '%s/IMG_%04d.jpg' "$folder" "$n")"
  done
  echo "$recipe" >"$large/stamp"
fi
mapfile -d '' large_pictures < <(find "$large/pictures" -type f -name '*.jpg' -print0 | sort -z)
large_album=$work/large_album
large_generate=("$cli" --home "$home" generate --source "$large/pictures" --dest "$large_album" --config Standard)
saved_rounds=$rounds
rounds=${LARGE_ROUNDS:-1}
timed large_first --prepare 'rm -rf "$large_album"' -- "${large_generate[@]}"
grep -q '^Successfull!' "$work/large_first.out" || { echo "the generation of 200 pictures did not succeed" >&2; exit 1; }
large_made=$(find "$large_album" -type f -name '*.jpg' | wc -l)
timed large_second -- "${large_generate[@]}"
timed large_floor -- nice -n 5 "$floor" 1024 768 "${large_pictures[@]}"
rounds=$saved_rounds

# ----------------------------------------------------------------- report
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
verdict() { if awk -v v="$1" -v t="$3" -v op="$2" 'BEGIN {exit !(op == "<=" ? v <= t : v >= t)}'; then echo ok; else echo MISSED; fi; }
row() {  # label, name
  local wall=wall_$2 cpu=cpu_$2 peak=peak_$2
  printf '  %-54s %8.3f s %7.2f s %5s MB\n' "$1" "${!wall}" "${!cpu}" "${!peak}"
}

printf '  %-54s %10s %9s %8s\n' "run" "wall" "CPU" "peak"
row "snapcrate-cli generate, first ($made files)" first
row "snapcrate-cli generate, second (unchanged)" second
row "vipsthumbnail 1024x768, $cores processes" vips_parallel
row "vipsthumbnail 1024x768, 1 process" vips_single
row "vipsthumbnail 1024x768, $cores processes, optimize_coding" vips_optimised
row "snapcrate-cli exif --summary" exif
row "exiftool -fast (same tags)" exiftool
row "exiv2 -Pkv (same keys)" exiv2
row "snapcrate-cli import" import
row "cp -r" cp
row "cp -r, then sync -f (for reference: flushed)" cp_sync
row "decoding floor, ${#all_pictures[@]} pictures" floor
row "snapcrate-cli generate, 200 pictures, first ($large_made files)" large_first
row "snapcrate-cli generate, 200 pictures, second" large_second
row "decoding floor, 200 pictures" large_floor
echo

# Per picture, in ms: CPU and wall of a first generation and of the floor.
per() { awk -v a="$1" -v n="$2" 'BEGIN {printf "%.1f", 1000 * a / n}'; }
echo "per picture          first CPU  first wall   floor CPU  floor wall  second CPU  first/floor CPU"
for set in "39 first floor second ${#all_pictures[@]}" "200 large_first large_floor large_second ${#large_pictures[@]}"; do
  read -r label f fl sec n <<<"$set"
  cf=cpu_$f wf=wall_$f cfl=cpu_$fl wfl=wall_$fl cs=cpu_$sec
  printf '  %-16s %8s ms %8s ms %8s ms %8s ms %8s ms %10s\n' "$label pictures" \
    "$(per "${!cf}" "$n")" "$(per "${!wf}" "$n")" "$(per "${!cfl}" "$n")" "$(per "${!wfl}" "$n")" \
    "$(per "${!cs}" "$n")" "$(ratio "${!cf}" "${!cfl}")"
done
echo

r1=$(ratio "$wall_first" "$wall_vips")
r1cpu=$(ratio "$cpu_first" "$(awk -v a="$cpu_vips_parallel" -v b="$cpu_vips_single" 'BEGIN {print a < b ? a : b}')")
rfloor=$(ratio "$wall_first" "$wall_floor")
rfloor_cpu=$(ratio "$cpu_first" "$cpu_floor")
# Growth: the first generation's CPU time per picture, 200 pictures against
# the corpus (whose PNG and portraits make its pictures dearer, if anything).
growth=$(awk -v a="$cpu_large_first" -v n="${#large_pictures[@]}" -v c="$cpu_first" -v m="${#all_pictures[@]}" \
  'BEGIN {printf "%.2f", (a / n) / (c / m)}')
r1optimised=$(ratio "$wall_first" "$wall_vips_optimised")
r2=$(awk -v a="$wall_second" -v b="$wall_first" 'BEGIN {printf "%.1f", 100 * a / b}')
r3=$(ratio "$wall_exiftool" "$wall_exif")
r3b=$(ratio "$wall_exiv2" "$wall_exif")
r4=$(ratio "$wall_import" "$wall_cp")
peak=$(printf '%s\n' "$peak_first" "$peak_second" "$peak_exif" "$peak_import" "$peak_large_first" "$peak_large_second" |
  sort -n | tail -n 1)
echo "targets"
printf '  %-62s %8s  %s\n' "1 first generation / vipsthumbnail ($vips_how), wall, at most 0.6" "$r1" "$(verdict "$r1" "<=" 0.6)"
printf '  %-62s %8s  %s\n' "  CPU (against the cheaper vipsthumbnail run), at most 0.6" "$r1cpu" "$(verdict "$r1cpu" "<=" 0.6)"
printf '  %-62s %8s\n' "  against vipsthumbnail with optimize_coding, wall" "$r1optimised"
printf '  %-62s %8s  %s\n' "  first generation / decoding floor, CPU, at most 1.35" "$rfloor_cpu" "$(verdict "$rfloor_cpu" "<=" 1.35)"
printf '  %-62s %8s  %s\n' "  first generation / decoding floor, wall, at most 1.35" "$rfloor" "$(verdict "$rfloor" "<=" 1.35)"
printf '  %-62s %7s%%  %s\n' "2 second generation / first, at most 3%" "$r2" "$(verdict "$r2" "<=" 3)"
printf '  %-62s %8s  %s\n' "3 exiftool / snapcrate-cli exif --summary, at least 20" "$r3" "$(verdict "$r3" ">=" 20)"
printf '  %-62s %8s  %s\n' "  exiv2 / snapcrate-cli exif --summary, above 1" "$r3b" "$(verdict "$r3b" ">=" 1.0001)"
printf '  %-62s %8s  %s\n' "4 import / cp -r, at most 1.5" "$r4" "$(verdict "$r4" "<=" 1.5)"
printf '  %-62s %8s\n' "  import / (cp -r, then sync -f)" "$(ratio "$wall_import" "$wall_cp_sync")"
printf '  %-62s %5s MB  %s\n' "5 peak memory of our runs, under 200 MB" "$peak" "$(verdict "$peak" "<=" 199)"
if [ "$quality_loss" = none ]; then
  printf '  %-62s %8s  %s\n' "6 PSNR against quality-baseline.txt" "no file" "MISSED"
else
  printf '  %-62s %5s dB  %s\n' "6 PSNR loss against quality-baseline.txt, at most 0.5 dB" "$quality_loss" "$(verdict "$quality_loss" "<=" 0.5)"
  printf '  %-62s %5s dB\n' "  lowest PSNR of the $quality_files files" "$quality_min"
  printf '  %-62s %s\n' "  the file that lost most" "$quality_worst"
fi
printf '  %-62s %8s  %s\n' "7 CPU per picture, 200 pictures against 39, at most 1.1" "$growth" "$(verdict "$growth" "<=" 1.1)"

if [ "${KEEP:-0}" != 1 ]; then
  chmod -R u+w "$imported" 2>/dev/null || true
  rm -rf "$album" "$large_album" "$thumbs" "$imported" "$copied" "$camera"
fi
