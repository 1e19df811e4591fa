#!/bin/sh
# Starts snapcrate (or snapcrate-cli, after the name it is called by) from a
# home directory the user can write.
#
# Snapcrate keeps its settings and album configurations below the directory
# of its executable, so that directory must be writable. An installation below
# the user's own home directory is used as it is. A system-wide installation
# (<prefix>/lib/snapcrate) is mirrored per user into
# ${XDG_DATA_HOME:-~/.local/share}/snapcrate:
# - the executables and libraries are copied again whenever the installed
#   ones differ, so an upgrade reaches every user;
# - a delivered file below etc/ is copied when the user has none, and updated
#   when the user's copy is still the one delivered before; files the user
#   changed or deleted (a deleted album configuration) stay so. The delivered
#   versions are kept in .delivered/ to tell the two apart.
set -eu

here=$(dirname "$(readlink -f "$0")")
installed=$(readlink -f "$here/../lib/snapcrate")
case "$(basename "$0")" in
  snapcrate-cli*) program=snapcrate-cli ;;
  *) program=snapcrate ;;
esac

if [ ! -d "$installed" ]; then
  echo "$(basename "$0"): no installation at $here/../lib/snapcrate" >&2
  exit 1
fi

case "$installed/" in
  "$HOME"/*) exec "$installed/$program" "$@" ;;
esac

home="${XDG_DATA_HOME:-$HOME/.local/share}/snapcrate"
mkdir -p "$home/etc" "$home/.delivered"

for file in snapcrate snapcrate-cli libtagcore.so libpixcore.so libjpegtran.so; do
  [ -f "$installed/$file" ] || continue
  if ! cmp -s "$installed/$file" "$home/$file"; then
    # Renamed into place: a running copy keeps its old file.
    cp -p "$installed/$file" "$home/.$file.new"
    mv -f "$home/.$file.new" "$home/$file"
  fi
done

(cd "$installed" && find etc -type f) | while IFS= read -r file; do
  user="$home/$file"
  before="$home/.delivered/$file"
  if [ -e "$user" ] || [ -L "$user" ]; then
    if [ -f "$before" ] && cmp -s "$user" "$before" && ! cmp -s "$user" "$installed/$file"; then
      cp -p "$installed/$file" "$user"
    fi
  elif [ -f "$before" ]; then
    : # the user deleted it
  else
    mkdir -p "$(dirname "$user")"
    cp -p "$installed/$file" "$user"
  fi
  mkdir -p "$(dirname "$before")"
  cmp -s "$installed/$file" "$before" || cp -p "$installed/$file" "$before"
done

# The unpacker of the first start is looked for in the home directory.
if [ ! -e "$home/unzip" ] && command -v unzip >/dev/null 2>&1; then
  ln -sf "$(command -v unzip)" "$home/unzip"
fi

exec "$home/$program" "$@"
