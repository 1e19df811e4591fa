#!/usr/bin/env bash
# The files that make Snapcrate a Linux program besides the programs: manual
# pages that parse and name every command and option of `snapcrate-cli --help`,
# AppStream data that validates, and the bash completion, completing commands,
# options and the configuration names of the home.
#   bash package_files_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build=$2
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
skip_note() { echo "note: $1 not installed, its check is skipped (tools/setup.sh installs it)"; }

cli=$build/bin/snapcrate-cli
help=$("$cli" --help)
# Every word of the help that is a command or an option.
commands=$(printf '%s\n' "$help" | sed -n '/^Commands:/,$s/^  \([a-z]\+\) .*/\1/p')
options=$(printf '%s\n' "$help" | grep -o -- '--[a-z][a-z-]*' | sort -u)
[ -n "$commands" ] && [ -n "$options" ] || fail "no commands or options found in snapcrate-cli --help"

for page in snapcrate snapcrate-cli; do
  file=$build/share/man/$page.1.gz
  if [ ! -f "$file" ]; then
    [ "$page" = snapcrate ] && [ ! -x "$build/bin/snapcrate" ] && continue
    fail "$file not built"
    continue
  fi
  if command -v man >/dev/null; then
    # groff's warnings (unknown macros, bad escapes) go to standard error.
    warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man -l $page: $warnings"
    lexgrog "$file" | grep -q ": \"$page - " || fail "lexgrog finds no NAME line in $page.1"
  else
    skip_note man-db
  fi
done

text=$(MANWIDTH=200 man -l "$build/share/man/snapcrate-cli.1.gz" 2>/dev/null | col -b || true)
completion=$source_dir/share/completion/snapcrate-cli.bash
for word in $commands $options; do
  if [ -n "$text" ]; then
    # A here-string, not a pipe: grep -q leaving early must not fail the writer.
    grep -q -- "\(^\|[^a-z-]\)$word\($\|[^a-z-]\)" <<<"$text" || fail "snapcrate-cli(1) does not mention $word"
  fi
  [ "$word" = -h ] || grep -q -- "[\" ]$word[\" ]" "$completion" || fail "the completion does not offer $word"
done

# The completion, against this build's program and home.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home/etc"
printf '[Name]\r\n  Mine too \r\n[IndexMainScheme]\r\nStandard\r\n' >"$tmp/home/etc/config_mine.ini"
complete_line() {
  # Completes the last of the words given, prints the candidates on one line.
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _snapcrate_cli
           printf "%s\n" "${COMPREPLY[*]}"' _ "$completion" "$@"
}
check_completion() {
  local expected=$1
  shift
  local got
  got=$(complete_line "$@")
  [ "$got" = "$expected" ] || fail "completing '$*': got '$got', expected '$expected'"
}
check_completion "generate" "$cli" gen
check_completion "--home --help" "$cli" --h
check_completion "--min-quality --min-originality" "$cli" --home /x generate --min
check_completion "--minutes --minus" "$cli" adjust --dir . --min
check_completion "1 2 3 4 5 6" "$cli" generate --min-quality ""
check_completion "" "$cli" check ""
# The build's home is the program's folder.
check_completion "Two\\ sizes" "$cli" generate --source . --config Tw
check_completion "Standard" "$cli" generate --config St
# --home names another home; names are trimmed as the program trims them.
check_completion "Mine\\ too" "$cli" --home "$tmp/home" generate --config ""
mkdir -p "$tmp/dirs/album" "$tmp/dirs/alps"
touch "$tmp/dirs/albumfile"
check_completion "$tmp/dirs/album $tmp/dirs/alps" "$cli" import --dest "$tmp/dirs/al"

if [ -f "$build/share/io.github.snapcrate.Snapcrate.metainfo.xml" ]; then
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$build/share/io.github.snapcrate.Snapcrate.metainfo.xml" >"$tmp/as.log" 2>&1 ||
      { cat "$tmp/as.log" >&2; fail "appstreamcli validate"; }
  else
    skip_note appstream
  fi
  # Screenshots are served from the repository: each must be there.
  for image in $(grep -o 'snapcrate/main/[^<]*' "$build/share/io.github.snapcrate.Snapcrate.metainfo.xml"); do
    [ -f "$source_dir/${image#snapcrate/main/}" ] || fail "the screenshot ${image#snapcrate/main/} is not in the repository"
  done
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "package files: all checks passed"
