#!/usr/bin/env bash
# snapcrate-cli check on the installation data: every scheme and configuration
# loads without a message, and in debug mode the codes dump finds no syntax error.
set -u
cli=${1:?path to snapcrate-cli}
etc=${2:?path to the build home etc/}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cp -r "$etc" "$home/etc"
rm -f "$home/etc/snapcrate.ini"
mkdir "$home/tmp"
export TMPDIR="$home/tmp"
passed=0 failed=0
check() {
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); printf 'FAIL %s\n  want: %s\n  got:  %s\n' "$1" "$3" "$2"; fi
}

out=$("$cli" --home "$home" check); rc=$?
check "check exit" "$rc" 0
schemes=$(ls -d "$home"/etc/scheme_*/ | wc -l)
configs=$(ls "$home"/etc/config_*.ini | wc -l)
check "one line per scheme" "$(printf '%s\n' "$out" | grep -c '^Scheme: ')" "$schemes"
check "one line per configuration" "$(printf '%s\n' "$out" | grep -c '^Configuration: ')" "$configs"
check "standard scheme" "$(printf '%s\n' "$out" | grep -c '^Scheme: Standard (STD) in .*, page schemes: main, index, picture$')" 1
check "dark scheme" "$(printf '%s\n' "$out" | grep -c '^Scheme: Dark Gallery (DARK) ')" 1
check "standard configuration" "$(printf '%s\n' "$out" | grep -c '^Configuration: Standard \[standard\], 1 scaled album(s): STD:1024 x 768 Pixel$')" 1
check "originals configuration" "$(printf '%s\n' "$out" | grep -c '^Configuration: Originals \[originals\], 1 scaled album(s): STD:Orig. Width x Orig. Height (Link) Pixel$')" 1
# Besides the reading lines nothing is said between the settings and the end of start-up.
unexpected=$(printf '%s\n' "$out" | grep -v -e '^Info: Creating new ' -e '^Reading Scheme ' -e '^Stoplist read!$' \
  -e '^Initialization completed.$' -e '^Scheme: ' -e '^Configuration: ')
check "no messages" "$unexpected" ""

sed -i '/^\[GenDebug\]/{n;s/.*/1\r/}' "$home/etc/snapcrate.ini"
out=$("$cli" --home "$home" check); rc=$?
check "debug check exit" "$rc" 0
check "codes dump written" "$(printf '%s\n' "$out" | grep -c "^\"$TMPDIR/snapcrate-$(id -u)/snapcrate_codes.txt\" written!$")" 1
check "no syntax error" "$(printf '%s\n' "$out" | grep -c 'Probably syntax error')" 0
check "every scheme dumped" "$(grep -c '^#### ' "$TMPDIR/snapcrate-$(id -u)/snapcrate_codes.txt")" "$schemes"
check "no warning in dump" "$(grep -c '^ *+++' "$TMPDIR/snapcrate-$(id -u)/snapcrate_codes.txt")" 0

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
