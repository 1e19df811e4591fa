#!/usr/bin/env bash
# Builds everything, makes a small demo picture tree, and generates its HTML
# album with the Standard configuration in a fresh home.
# Usage: tools/demo.sh [DEMO_DIR]   (default: a new folder under /tmp)
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh build
demo=${1:-$(mktemp -d /tmp/snapcrate-demo.XXXXXX)}
mkdir -p "$demo"
demo=$(cd "$demo" && pwd)
rm -rf "$demo/home" "$demo/album"
mkdir -p "$demo/home"
cp -r build/bin/etc "$demo/home/"
rm -f "$demo/home/etc/snapcrate.ini"
if [ ! -d "$demo/pictures" ]; then
  echo "== making demo pictures in $demo/pictures"
  bash tools/make_demo_tree.sh "$demo/pictures" >/dev/null
fi
echo "== generating the album"
build/bin/snapcrate-cli --home "$demo/home" generate --source "$demo/pictures" --dest "$demo/album" \
  --config Standard
echo
echo "Album: $demo/album/_snapcrate_/index.htm"
