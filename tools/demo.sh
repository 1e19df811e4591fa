#!/usr/bin/env bash
# Builds everything and runs Snapcrate on the bundled demo in a fresh home.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh build
demo=${DEMO_DIR:-$(mktemp -d /tmp/snapcrate-demo.XXXXXX)}
mkdir -p "$demo/home"
cp -r build/bin/etc "$demo/home/"
rm -f "$demo/home/etc/snapcrate.ini"
echo "== snapcrate-cli check in a fresh home: $demo/home"
build/bin/snapcrate-cli --home "$demo/home" check
