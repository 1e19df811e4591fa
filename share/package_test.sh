#!/usr/bin/env bash
# The Debian package, as a user gets it: built with cpack, checked by lintian,
# installed with apt-get into this system, used by an ordinary user with a
# fresh home (the CLI, its completion), then purged, leaving no file behind.
# Needs root; exits 77 (skipped) otherwise, or when a snapcrate package is
# already installed (it is not ours to remove).
#   bash package_test.sh BUILD_DIR
set -euo pipefail
build=$(readlink -f "$1")
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: installing a package needs root"
  exit 77
fi
for tool in cpack apt-get dpkg-deb dpkg-shlibdeps setpriv; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool not installed (tools/setup.sh installs it)"
    exit 77
  fi
done
# One package test at a time on this machine: they share the system.
exec 9>/run/lock/snapcrate-package-test.lock
flock -w 1800 9
if dpkg-query -W -f='${Status}' snapcrate 2>/dev/null | grep -q installed; then
  echo "skipped: a snapcrate package is already installed"
  exit 77
fi

tmp=$(mktemp -d)
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then
    apt-get purge -y -q -o DPkg::Lock::Timeout=600 snapcrate >/dev/null 2>&1 || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
quiet() {
  # Runs a command, shows its output only when it fails.
  if ! "$@" >"$tmp/out.log" 2>&1; then
    cat "$tmp/out.log" >&2
    return 1
  fi
}

quiet cpack -G DEB -B "$tmp/deb" --config "$build/CPackConfig.cmake" || { fail "cpack"; exit 1; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb=$tmp/deb/snapcrate_${version}_amd64.deb
[ -f "$deb" ] || { fail "no $deb"; ls "$tmp/deb" >&2; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
for library in libvips42 libturbojpeg0 libqt6widgets6; do
  case "$depends" in *"$library"*) ;; *) fail "Depends lacks $library: $depends" ;; esac
done

if command -v lintian >/dev/null; then
  # Errors fail; warnings are shown.
  lintian --fail-on error "$deb" >"$tmp/lintian.log" 2>&1 || { cat "$tmp/lintian.log" >&2; fail "lintian"; }
  grep '^W:' "$tmp/lintian.log" || true
else
  echo "note: lintian not installed, its check is skipped"
fi

export DEBIAN_FRONTEND=noninteractive
installed=1
quiet apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=600 "$deb" ||
  { fail "apt-get install"; exit 1; }
dpkg-query -L snapcrate | sort >"$tmp/files"
for file in /usr/bin/snapcrate /usr/bin/snapcrate-cli /usr/lib/snapcrate/snapcrate-cli \
  /usr/lib/snapcrate/libpixcore.so /usr/share/applications/snapcrate.desktop \
  /usr/share/man/man1/snapcrate-cli.1.gz /usr/share/bash-completion/completions/snapcrate-cli \
  /usr/share/metainfo/io.github.snapcrate.Snapcrate.metainfo.xml; do
  grep -qx "$file" "$tmp/files" || fail "$file is not in the package"
done
grep -qx "Exec=/usr/bin/snapcrate" /usr/share/applications/snapcrate.desktop ||
  fail "the desktop entry does not start /usr/bin/snapcrate"
man -w snapcrate-cli >/dev/null 2>&1 || fail "man finds no snapcrate-cli page"

# An ordinary user with a fresh home, in a clean environment.
chmod 755 "$tmp"
mkdir "$tmp/user"
chown nobody: "$tmp/user"
as_nobody() {
  setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
    env -i HOME="$tmp/user" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}
as_nobody snapcrate-cli --version >"$tmp/version" 2>&1 || fail "snapcrate-cli --version as nobody"
grep -q "^V$version " "$tmp/version" || fail "snapcrate-cli --version printed: $(cat "$tmp/version")"
as_nobody snapcrate-cli check >"$tmp/check" 2>&1 || { cat "$tmp/check" >&2; fail "snapcrate-cli check as nobody"; }
grep -q "^Configuration: Standard \[standard\]" "$tmp/check" || fail "check lists no Standard configuration"
[ -f "$tmp/user/.local/share/snapcrate/etc/snapcrate.ini" ] || fail "no settings file in the user's home"

# Completion through the installed script, as bash-completion loads it.
completed=$(as_nobody bash -c 'source /usr/share/bash-completion/completions/snapcrate-cli
  COMP_WORDS=(snapcrate-cli ch); COMP_CWORD=1; _snapcrate_cli; printf "%s|" "${COMPREPLY[@]}"
  COMP_WORDS=(snapcrate-cli generate --config Tw); COMP_CWORD=3; _snapcrate_cli; printf "%s|" "${COMPREPLY[@]}"')
[ "$completed" = 'check|Two\ sizes|' ] || fail "completion gave '$completed'"

# Purge: nothing of the package stays (directories other packages share may).
installed=0
quiet apt-get purge -y -q -o DPkg::Lock::Timeout=600 snapcrate || fail "apt-get purge"
dpkg-query -W snapcrate >/dev/null 2>&1 && fail "the package is still known to dpkg"
while IFS= read -r path; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  if [ -d "$path" ] && [ ! -L "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; then
    continue
  fi
  fail "$path is left behind"
done <"$tmp/files"

if [ "$failures" -ne 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "package: all checks passed"
