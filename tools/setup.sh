#!/usr/bin/env bash
# Installs the Debian packages Snapcrate needs to build, test and benchmark,
# and the npm packages of the browser test (tests/browser/node_modules).
# Safe to run again: it only installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

# The browser test's npm packages, pinned by tests/browser/package-lock.json.
# Without them (no network, say) the browser test is skipped, nothing fails.
browser_test_packages() {
  if [ -f tests/browser/node_modules/axe-core/axe.min.js ] && [ -d tests/browser/node_modules/ws ]; then
    return 0
  fi
  if ! command -v npm >/dev/null; then
    return 0
  fi
  echo "setup: installing the browser test's npm packages into tests/browser/node_modules"
  (cd tests/browser && npm ci --no-audit --no-fund --loglevel=error) ||
    echo "setup: npm ci failed; the browser test will be skipped" >&2
}

packages=(
  cmake g++ make pkg-config ninja-build clang libclang-rt-14-dev
  qt6-base-dev libgl-dev
  libvips-dev libvips-tools libturbojpeg0-dev libjpeg62-turbo-dev libjpeg-turbo-progs
  libgtest-dev libgmock-dev
  libimage-exiftool-perl exiv2 tidy unzip zip xvfb xauth hyperfine time bc
  dpkg-dev lintian appstream desktop-file-utils man-db bash-completion
  chromium nodejs
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# Debian's nodejs comes without npm; other builds of nodejs bring their own.
if ! command -v npm >/dev/null && ! dpkg-query -W -f='${Status}' npm 2>/dev/null | grep -q 'install ok installed'; then
  missing+=(npm)
fi

if [ ${#missing[@]} -eq 0 ]; then
  browser_test_packages
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  sudo=sudo
else
  sudo=
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
browser_test_packages
