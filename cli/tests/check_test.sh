#!/usr/bin/env bash
# snapcrate-cli in a fresh home: version, settings creation, a second start that
# creates nothing, and the exit codes of usage errors.
set -u
cli=${1:?path to snapcrate-cli}
etc=${2:?path to the build home etc/}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cp -r "$etc" "$home/etc"
rm -f "$home/etc/snapcrate.ini"
passed=0 failed=0
check() {
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); printf 'FAIL %s\n  want: %s\n  got:  %s\n' "$1" "$3" "$2"; fi
}

check version "$("$cli" --home "$home" --version)" "V1.80 (2007-05-06)"
out=$("$cli" --home "$home" check); rc=$?
check "first check exit" "$rc" 0
check "first check creates" "$(printf '%s\n' "$out" | head -1)" "Info: Creating new \"$home/etc/snapcrate.ini\""
check "first check completes" "$(printf '%s\n' "$out" | grep -c '^Initialization completed.$')" 1
check "seventeen keys" "$(grep -c '^\[' "$home/etc/snapcrate.ini")" 17
check "first key" "$(head -1 "$home/etc/snapcrate.ini" | tr -d '\r')" "[GenDebug]"
check "last key" "$(grep '^\[' "$home/etc/snapcrate.ini" | tail -1 | tr -d '\r')" "[ExtViewer]"
before=$(md5sum "$home/etc/snapcrate.ini")
out=$("$cli" --home "$home" check); rc=$?
check "second check exit" "$rc" 0
check "second check creates nothing" "$(printf '%s\n' "$out" | grep -c 'Creating new')" 0
check "settings unchanged" "$(md5sum "$home/etc/snapcrate.ini")" "$before"
"$cli" --home "$home" nosuchcommand >/dev/null 2>&1; check "unknown command" "$?" 2
"$cli" --home >/dev/null 2>&1; check "missing --home value" "$?" 2
"$cli" --help | grep -q '^Usage: snapcrate-cli'; check "help" "$?" 0

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
