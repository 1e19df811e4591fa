#!/usr/bin/env bash
# Generates an album of every shipped configuration from a small picture tree
# and has tests/browser/album_check.mjs look at its pages in headless
# Chromium. Exit 77 (skipped) when Chromium, Node or the test's npm packages
# (tools/setup.sh installs them) are missing.
# Usage: album_test.sh SNAPCRATE_CLI HOME_ETC_DIR
set -euo pipefail
cli=${1:?path to snapcrate-cli}
etc=${2:?path to the build home etc/}
here=$(cd "$(dirname "$0")" && pwd)
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ] || ! command -v node >/dev/null || [ ! -f "$here/node_modules/axe-core/axe.min.js" ] ||
   [ ! -d "$here/node_modules/ws" ]; then
  echo "album_test: skipped: needs chromium, node and the npm packages of tests/browser (tools/setup.sh)"
  exit 77
fi
# ALBUM_TEST_KEEP=DIR (a new directory) keeps the tree and the albums there,
# for a look.
if [ -n "${ALBUM_TEST_KEEP:-}" ]; then
  work=$ALBUM_TEST_KEEP
  mkdir "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

# The demo tree's shape (chapters, a sub-chapter, titled and untitled,
# landscape and portrait pictures, a long title) from two pictures made by
# libvips, which is quick even on a busy machine.
vips sines "$work/wave.v" 1600 1200 --hfreq 3 --vfreq 2
vips linear "$work/wave.v" "$work/landscape.jpg" 100 128 --uchar
vips rot "$work/landscape.jpg" "$work/portrait.jpg" d90
tree="$work/tree"
put() {  # picture-kind relative-path...
  local kind=$1
  shift
  for path in "$@"; do
    mkdir -p "$(dirname "$tree/$path")"
    cp "$work/$kind.jpg" "$tree/$path"
  done
}
chapter() {  # directory title [index picture]
  printf '[Title]\r\n%s\r\n[Description]\r\n\r\n[Image]\r\n%s\r\n' "$2" "${3:-}" >"$tree/$1/_snapcrate_.dsc"
}
title() {  # picture-without-extension title
  printf '[Title]\r\n%s\r\n[Description]\r\n\r\n' "$2" >"$tree/$1.dsc"
}
put landscape IMG_0001.jpg "2024 Summer"/IMG_010{1,2,3,4,5,6,7}.jpg "2024 Summer/_harbour/IMG_0201.jpg" \
  "2024 Summer/_harbour/IMG_0202.jpg" Travel/Rome/IMG_0301.jpg Travel/Paris/IMG_0401.jpg
put portrait "2024 Summer/IMG_0108.jpg" Travel/Rome/IMG_0303.jpg
chapter . "Demo album"
chapter "2024 Summer" "Summer 2024" IMG_0103.jpg
chapter "2024 Summer/_harbour" "At the harbour"
chapter Travel "Travel"
title "2024 Summer/IMG_0101" "Arrival"
# A title far too long for one line, which must not make its row taller.
title "2024 Summer/IMG_0104" "A very long title that goes on and on about the lake, the hills and the weather that day"
mkdir -p "$work/home"
cp -r "$etc" "$work/home/etc"
rm -f "$work/home/etc/snapcrate.ini"

albums="$work/albums.json"
printf '{"albums": [' >"$albums"
separator=
for config in "$work"/home/etc/config_*.ini; do
  key=$(basename "$config" .ini)
  key=${key#config_}
  name=$(sed -n '2p' "$config" | tr -d '\r')
  dest="$work/album-$key"
  "$cli" --home "$work/home" generate --source "$tree" --dest "$dest" --config "$name" >"$work/log-$key" 2>&1 ||
    { cat "$work/log-$key"; exit 1; }
  root="$dest/_snapcrate_"
  chapter="$root/2024 Summer"
  list() { find "$@" -maxdepth 1 -name '*.htm' | sort | sed 's/.*/"&"/' | paste -sd, -; }
  pictures=$(find "$chapter" -maxdepth 1 \( -name 'IMG_0101*.htm' -o -name 'IMG_0102*.htm' \) | sort | sed 's/.*/"&"/' | paste -sd, -)
  chapters=$(find "$chapter" -maxdepth 1 -name 'index*.htm' | sort | sed 's/.*/"&"/' | paste -sd, -)
  indexes=$(find "$root" -maxdepth 1 -name 'index*.htm' | sort | sed 's/.*/"&"/' | paste -sd, -)
  # The configuration made for sharp screens must also give a sharp picture.
  sharp=false
  [ "$key" = hidpi ] && sharp=true
  printf '%s{"name": "%s", "sharpPicture": %s, "pages": {"index": [%s], "chapter": [%s], "picture": [%s]}}' \
    "$separator" "$key" "$sharp" "$indexes" "$chapters" "$pictures" >>"$albums"
  separator=,
done
printf ']}\n' >>"$albums"
node "$here/album_check.mjs" "$browser" "$albums"
