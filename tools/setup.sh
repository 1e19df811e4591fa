#!/usr/bin/env bash
# Installs the Debian packages Snapcrate needs to build, test and benchmark.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config ninja-build clang libclang-rt-14-dev
  qt6-base-dev libgl-dev
  libvips-dev libvips-tools libturbojpeg0-dev libjpeg-turbo-progs
  libgtest-dev libgmock-dev
  libimage-exiftool-perl exiv2 tidy unzip zip xvfb xauth hyperfine time bc
  dpkg-dev lintian appstream desktop-file-utils man-db bash-completion
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
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
