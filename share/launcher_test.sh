#!/bin/sh
# The launcher over a stand-in installation: a system-wide installation is
# mirrored into the user's data directory, an upgrade reaches the programs and
# the delivered files the user left alone, and the user's own changes and
# deletions below etc/ survive it; an installation inside the user's home runs
# in place.
#   sh launcher_test.sh LAUNCHER
set -eu
launcher=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
expect() {  # expect WHAT WANTED GOT
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: wanted '$2', got '$3'" >&2
    failures=$((failures + 1))
  fi
}
content() { if [ -e "$1" ]; then cat "$1"; else echo "(missing)"; fi; }

install_to() {  # install_to PREFIX: launchers and stand-in programs that report where they run
  mkdir -p "$1/bin" "$1/lib/snapcrate/etc/scheme_standard"
  for program in snapcrate snapcrate-cli; do
    cp "$launcher" "$1/bin/$program"
    chmod +x "$1/bin/$program"
    printf '#!/bin/sh\necho "%s $(dirname "$(readlink -f "$0")")" "$@"\n' "$program" >"$1/lib/snapcrate/$program"
    chmod +x "$1/lib/snapcrate/$program"
  done
  for library in libtagcore.so libpixcore.so libjpegtran.so; do echo "$library 1" >"$1/lib/snapcrate/$library"; done
  echo standard >"$1/lib/snapcrate/etc/config_standard.ini"
  echo dark >"$1/lib/snapcrate/etc/config_dark.ini"
  echo scheme >"$1/lib/snapcrate/etc/scheme_standard/scheme.ini"
}

# A system-wide installation: the first start makes the user's home.
prefix=$tmp/usr
install_to "$prefix"
export HOME="$tmp/user"
unset XDG_DATA_HOME || true
mkdir -p "$HOME"
home=$HOME/.local/share/snapcrate
expect "first start" "snapcrate $home --flag a b" "$("$prefix/bin/snapcrate" --flag "a b")"
expect "library copied" "libpixcore.so 1" "$(content "$home/libpixcore.so")"
expect "configuration copied" "standard" "$(content "$home/etc/config_standard.ini")"
expect "scheme copied" "scheme" "$(content "$home/etc/scheme_standard/scheme.ini")"
expect "the CLI by its name" "snapcrate-cli $home" "$("$prefix/bin/snapcrate-cli")"

# The user edits one configuration and deletes another; then an upgrade.
echo mine >"$home/etc/config_standard.ini"
rm "$home/etc/config_dark.ini"
echo "libpixcore.so 2" >"$prefix/lib/snapcrate/libpixcore.so"
echo "standard 2" >"$prefix/lib/snapcrate/etc/config_standard.ini"
echo "dark 2" >"$prefix/lib/snapcrate/etc/config_dark.ini"
echo "scheme 2" >"$prefix/lib/snapcrate/etc/scheme_standard/scheme.ini"
echo new >"$prefix/lib/snapcrate/etc/config_new.ini"
expect "after the upgrade" "snapcrate $home" "$("$prefix/bin/snapcrate")"
expect "library updated" "libpixcore.so 2" "$(content "$home/libpixcore.so")"
expect "the user's change kept" "mine" "$(content "$home/etc/config_standard.ini")"
expect "the user's deletion kept" "(missing)" "$(content "$home/etc/config_dark.ini")"
expect "untouched file updated" "scheme 2" "$(content "$home/etc/scheme_standard/scheme.ini")"
expect "new file added" "new" "$(content "$home/etc/config_new.ini")"

# XDG_DATA_HOME moves the user's home.
expect "XDG_DATA_HOME" "snapcrate $tmp/data/snapcrate" "$(XDG_DATA_HOME=$tmp/data "$prefix/bin/snapcrate")"

# An installation in a prefix inside the user's home is its own home.
own=$HOME/.local
install_to "$own"
expect "user prefix runs in place" "snapcrate $own/lib/snapcrate" "$("$own/bin/snapcrate")"
# Also when the launcher is reached through a link.
mkdir -p "$tmp/links"
ln -s "$own/bin/snapcrate-cli" "$tmp/links/snapcrate-cli"
expect "through a link" "snapcrate-cli $own/lib/snapcrate" "$("$tmp/links/snapcrate-cli")"

if [ "$failures" -ne 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "launcher: all checks passed"
