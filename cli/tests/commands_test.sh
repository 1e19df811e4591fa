#!/usr/bin/env bash
# Argument handling of the batch commands: usage errors exit 2, missing
# directories exit 1, dry runs change nothing.
set -u
cli=${1:?path to snapcrate-cli}
etc=${2:?path to the build home etc/}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/card/DCIM" "$work/archive"
cp -r "$etc" "$work/home/etc"
rm -f "$work/home/etc/snapcrate.ini"
printf 'not a picture' > "$work/card/DCIM/MVI_0001.AVI"
touch -d '2007-05-06 14:30:00 UTC' "$work/card/DCIM/MVI_0001.AVI"
passed=0 failed=0
check() {
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); printf 'FAIL %s\n  want: %s\n  got:  %s\n' "$1" "$3" "$2"; fi
}
run() { "$cli" --home "$work/home" "$@" >"$work/out" 2>&1; echo $?; }

check "exif without files" "$(run exif)" 2
check "exif of a missing file" "$(run exif "$work/none.jpg")" 1
check "exif of a non-picture" "$(run exif --summary "$work/card/DCIM/MVI_0001.AVI")" 1
check "summary still printed" "$(grep -A1 '^File: ' "$work/out" | tr '\n' '|')" "File: $work/card/DCIM/MVI_0001.AVI|Valid: false|"
check "import without dest" "$(run import --source "$work/card")" 2
check "import unknown option" "$(run import --source "$work/card" --dest "$work/archive" --fast)" 2
check "import missing source" "$(run import --source "$work/nothere" --dest "$work/archive")" 1
check "import dry run" "$(run import --source "$work/card" --dest "$work/archive" --dry-run --no-orig-name)" 0
check "dry run copies nothing" "$(find "$work/archive" -type f | wc -l)" 0
check "dry run names the target" "$(grep -c -- "-> $work/archive/2007/05/06/20070506_143000.avi" "$work/out")" 1
check "import" "$(run import --source "$work/card" --dest "$work/archive" --no-orig-name --no-log)" 0
check "import copies by file time" "$(ls "$work/archive/2007/05/06")" "20070506_143000.avi"
check "import remembers its options" "$(grep -A1 -F '[ImportMediaFilesAddOrigFilename]' "$work/home/etc/snapcrate.ini" | tail -1 | tr -d '\r')" 0
mkdir -p "$work/card2" "$work/archive2"
head -c 20000 /dev/zero > "$work/card2/MVI_0002.AVI"
# A file-size limit makes the copy fail as a full disk would.
check "import with a failed copy" "$(trap '' XFSZ; ulimit -f 8; run import --source "$work/card2" --dest "$work/archive2" --no-log)" 1
check "failed copy counted" "$(tail -1 "$work/out" | tr -d '\r')" "  1 file failed"
check "adjust without offset" "$(run adjust --dir "$work/card")" 2
check "adjust hour limit" "$(run adjust --dir "$work/card" --hours 24)" 2
check "adjust not a number" "$(run adjust --dir "$work/card" --days x)" 2
check "adjust over 68 years" "$(run adjust --dir "$work/card" --years 99)" 1
check "adjust no pictures" "$(run adjust --dir "$work/card" --hours 1)" 0
check "adjust summary" "$(tail -1 "$work/out")" "No JPG-Files found!"

# A generation with a picture that cannot be read says so and fails; pipes
# under the names of a description and of the sorted-out list hold nothing up.
mkdir -p "$work/pics" "$work/tmp/snapcrate-$(id -u)"
printf 'not a picture' > "$work/pics/broken.jpg"
mkfifo "$work/pics/_snapcrate_.dsc" "$work/tmp/snapcrate-$(id -u)/snapcrate_sorted_out.txt"
check "generate with a failed file" "$(TMPDIR=$work/tmp timeout 120 "$cli" --home "$work/home" generate --source "$work/pics" --dest "$work/album" >"$work/out" 2>&1; echo $?)" 1
check "generate summary" "$(tail -2 "$work/out" | tr '\n' '|')" "Successfull!|1 file failed!|"
rm "$work/pics/broken.jpg"
check "generate without failures" "$(TMPDIR=$work/tmp timeout 120 "$cli" --home "$work/home" generate --source "$work/pics" --dest "$work/album" >"$work/out" 2>&1; echo $?)" 0

# A picture stored sideways with an EXIF orientation of 6: --no-auto-orient
# leaves it as stored for that run only; the setting (on) turns it upright.
mkdir -p "$work/turned"
vips black "$work/black.jpg" 80 60
{ head -c 2 "$work/black.jpg"
  printf '\xff\xe1\x00\x22Exif\x00\x00II*\x00\x08\x00\x00\x00\x01\x00\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00\x00'
  tail -c +3 "$work/black.jpg"; } >"$work/turned/IMG_0001.jpg"
check "generate as stored" "$(run generate --source "$work/turned" --dest "$work/turned_album" --config Standard --no-auto-orient)" 0
check "thumbnail as stored" "$(vipsheader "$work/turned_album/_snapcrate_/_160x160_/IMG_0001.jpg" | cut -d' ' -f2)" 160x120
check "generate upright" "$(run generate --source "$work/turned" --dest "$work/turned_album" --config Standard)" 0
check "thumbnail upright" "$(vipsheader "$work/turned_album/_snapcrate_/_160x160_/IMG_0001o6.jpg" | cut -d' ' -f2)" 120x160

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
