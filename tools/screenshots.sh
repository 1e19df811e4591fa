#!/usr/bin/env bash
# Saves a PNG of every window and dialog of the desktop program into OUTDIR,
# and again at scale 2 into OUTDIR/scale2 and in a dark palette into
# OUTDIR/dark, each opened on a fresh demo home, so layouts can be checked by eye:
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
base=$(mktemp -d /tmp/snapcrate-screenshots.XXXXXX)
trap 'chmod -R u+w "$base"; rm -rf "$base"' EXIT
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$base/runtime}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# One run on a fresh home into DIR, with the environment given before it.
shoot() {
  local dir=$1 home
  home=$(mktemp -d "$base/home.XXXXXX")
  cp -r "$build/bin/etc" "$home/"
  rm -f "$home/etc/snapcrate.ini"
  mkdir -p "$dir"
  if [ "${SNAPCRATE_SCREENSHOT_XVFB:-0}" = 1 ]; then
    xvfb-run -a -s "-screen 0 2800x2000x24" "$build/tools/snapcrate_screenshots" "$dir" "$home/"
  else
    QT_QPA_PLATFORM=offscreen "$build/tools/snapcrate_screenshots" "$dir" "$home/"
  fi
}
# As designed; at twice the size (hi-DPI); in a dark theme.
shoot "$out"
QT_SCALE_FACTOR=2 shoot "$out/scale2"
SNAPCRATE_SCREENSHOT_DARK=1 shoot "$out/dark"
