#!/bin/sh
# The installation: the portable home under <prefix>/lib/snapcrate, the two
# launchers, the desktop entry naming the launcher and the icon; then the
# installed snapcrate-cli started through its launcher for a new user reads
# the schemes of its own copied home.
#   sh install_test.sh BUILD_DIR
set -eu
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

prefix=$tmp/usr
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log"
for file in lib/snapcrate/snapcrate lib/snapcrate/snapcrate-cli lib/snapcrate/libtagcore.so \
  lib/snapcrate/libpixcore.so lib/snapcrate/libjpegtran.so lib/snapcrate/etc/config_standard.ini \
  lib/snapcrate/etc/scheme_standard/scheme.ini lib/snapcrate/etc/snapcrate.html \
  share/icons/hicolor/scalable/apps/snapcrate.svg share/applications/snapcrate.desktop; do
  [ -f "$prefix/$file" ] || fail "$file not installed"
done
for program in bin/snapcrate bin/snapcrate-cli lib/snapcrate/etc/winstart; do
  [ -x "$prefix/$program" ] || fail "$program not executable"
done
[ -e "$prefix/lib/snapcrate/etc/snapcrate.ini" ] && fail "a settings file was installed"
grep -qx "Exec=$prefix/bin/snapcrate" "$prefix/share/applications/snapcrate.desktop" ||
  fail "the desktop entry does not start $prefix/bin/snapcrate"
grep -qx "Icon=snapcrate" "$prefix/share/applications/snapcrate.desktop" || fail "the desktop entry has no icon"
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$prefix/share/applications/snapcrate.desktop" || fail "desktop-file-validate"
fi

# A staged installation (as packages are built) names the final prefix.
DESTDIR=$tmp/stage cmake --install "$build" --prefix /usr/local >/dev/null
grep -qx "Exec=/usr/local/bin/snapcrate" "$tmp/stage/usr/local/share/applications/snapcrate.desktop" ||
  fail "the staged desktop entry does not start /usr/local/bin/snapcrate"

# A new user of the system-wide installation.
mkdir -p "$tmp/user"
home=$tmp/user/.local/share/snapcrate
if ! HOME=$tmp/user XDG_DATA_HOME= "$prefix/bin/snapcrate-cli" check >"$tmp/check.out" 2>&1; then
  cat "$tmp/check.out" >&2
  fail "snapcrate-cli check through the launcher"
fi
grep -q "Scheme: Standard (STD) in $home/etc/scheme_standard" "$tmp/check.out" ||
  fail "the installed CLI did not read its schemes from $home"
[ -f "$home/etc/snapcrate.ini" ] || fail "no settings file in the user's home"
[ -e "$prefix/lib/snapcrate/etc/snapcrate.ini" ] && fail "the run wrote into the installation"

if [ "$failures" -ne 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "install: all checks passed"
