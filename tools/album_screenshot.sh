#!/usr/bin/env bash
# Takes screenshots of a generated album's pages in headless Chromium, for
# reviews. Usage: tools/album_screenshot.sh PAGE.htm OUT_PREFIX
# Writes OUT_PREFIX-desktop.png (a 1366x768 laptop) and OUT_PREFIX-phone.png
# (390x844).
set -euo pipefail
page=${1:?page of a generated album}
out=${2:?output prefix}
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  echo "album_screenshot: Chromium is needed: apt-get install chromium" >&2
  exit 1
fi
url="file://$(cd "$(dirname "$page")" && pwd)/$(basename "$page")"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
for view in desktop:1366,768 phone:390,844; do
  name=${view%%:*}
  size=${view#*:}
  "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --hide-scrollbars --window-size="$size" \
    --screenshot="$out-$name.png" "$url" >/dev/null 2>&1
  echo "$out-$name.png"
done
