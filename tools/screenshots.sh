#!/usr/bin/env bash
# Saves a PNG of every window and dialog of the desktop program into OUTDIR,
# each opened on a fresh demo home, so layouts can be checked by eye:
#   bash tools/screenshots.sh OUTDIR [BUILD_DIR]
# Runs on the offscreen platform; set SNAPCRATE_SCREENSHOT_XVFB=1 to use Xvfb.
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 OUTDIR [BUILD_DIR]" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
out=$(realpath -m "$1")
build=${2:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DSNAPCRATE_GUI=ON >/dev/null
fi
cmake --build "$build" --target snapcrate_screenshots -j2 >/dev/null
home=$(mktemp -d /tmp/snapcrate-screenshots.XXXXXX)
trap 'chmod -R u+w "$home"; rm -rf "$home"' EXIT
cp -r "$build/bin/etc" "$home/"
rm -f "$home/etc/snapcrate.ini"
mkdir -p "$out"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$home/runtime}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
if [ "${SNAPCRATE_SCREENSHOT_XVFB:-0}" = 1 ]; then
  xvfb-run -a -s "-screen 0 1600x1200x24" "$build/tools/snapcrate_screenshots" "$out" "$home/"
else
  QT_QPA_PLATFORM=offscreen "$build/tools/snapcrate_screenshots" "$out" "$home/"
fi
