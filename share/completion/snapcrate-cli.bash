# bash completion for snapcrate-cli: commands, options, directories, and the
# album configurations of the home the completed command would use.

# Prints the home directory of the snapcrate-cli named by $1 (as typed), the
# way the program and its launcher choose it.
_snapcrate_cli_home() {
  local command=$1 path real dir installed home
  [[ $command == "~/"* ]] && command=$HOME/${command#"~/"}
  path=$(type -P -- "$command") || return 1
  real=$(readlink -f -- "$path") || return 1
  dir=${real%/*}
  if [[ -x $dir/../lib/snapcrate/snapcrate-cli ]]; then
    # A launcher: an installation below the user's home runs in place, any
    # other from the user's copy, which the first run makes from it.
    installed=$(readlink -f -- "$dir/../lib/snapcrate")
    if [[ $installed/ == "$HOME"/* ]]; then
      printf '%s\n' "$installed"
      return 0
    fi
    home=${XDG_DATA_HOME:-$HOME/.local/share}/snapcrate
    [[ -d $home/etc ]] || home=$installed
    printf '%s\n' "$home"
    return 0
  fi
  printf '%s\n' "$dir"
}

# Prints the names of the album configurations below $1/etc, one a line.
_snapcrate_cli_configs() {
  local file line next
  for file in "$1"/etc/config_*.ini; do
    [[ -f $file ]] || continue
    next=0
    while IFS= read -r line || [[ -n $line ]]; do
      line=${line%$'\r'}
      if ((next)); then
        # Trimmed as the program trims it.
        line=${line#"${line%%[![:space:]]*}"}
        line=${line%"${line##*[![:space:]]}"}
        [[ -n $line ]] && printf '%s\n' "$line"
        break
      fi
      [[ $line == "[Name]" ]] && next=1
    done <"$file"
  done
}

_snapcrate_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  local i command="" home_option=""
  COMPREPLY=()

  # The command is the first word that is neither a global option nor its value.
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      --home)
        home_option=${COMP_WORDS[i+1]}
        ((i++))
        ;;
      -*) ;;
      *)
        command=${COMP_WORDS[i]}
        break
        ;;
    esac
  done

  case $prev in
    --home | --source | --dest | --dir)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -d -- "$cur")
      return 0
      ;;
    --config)
      [[ $command == generate ]] || return 0
      local home name
      if [[ -n $home_option ]]; then
        home=$home_option
        [[ $home == "~/"* ]] && home=$HOME/${home#"~/"}
      else
        home=$(_snapcrate_cli_home "${COMP_WORDS[0]}") || return 0
      fi
      # Names may hold blanks: offer them escaped, as they have to be typed.
      while IFS= read -r name; do
        name=$(printf '%q' "$name")
        [[ $name == "$cur"* ]] && COMPREPLY+=("$name")
      done < <(_snapcrate_cli_configs "$home")
      return 0
      ;;
    --min-quality | --min-originality)
      mapfile -t COMPREPLY < <(compgen -W "1 2 3 4 5 6" -- "$cur")
      return 0
      ;;
    --years | --weeks | --days | --hours | --minutes | --seconds)
      return 0
      ;;
  esac

  local words
  case $command in
    "") words="--home --help --version check exif generate import adjust" ;;
    check) words="" ;;
    exif)
      if [[ $cur != -* ]]; then
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return 0
      fi
      words="--summary"
      ;;
    generate) words="--source --dest --config --min-quality --min-originality --no-auto-orient --auto-orient" ;;
    import) words="--source --dest --log --no-log --orig-name --no-orig-name --jpeg-only --all-files --dry-run" ;;
    adjust) words="--dir --years --weeks --days --hours --minutes --seconds --minus --dry-run" ;;
    *) return 0 ;;
  esac
  mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
}

complete -F _snapcrate_cli snapcrate-cli
