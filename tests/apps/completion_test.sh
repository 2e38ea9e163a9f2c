#!/usr/bin/env bash
# Bash completion of kov1 and kov1-render, as bash-completion loads it:
# options, drawings and folders first, any file when none fits, PNG
# pictures for the second name. $1 the completion file.
set -uo pipefail
source /usr/share/bash-completion/bash_completion
source "$1"
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
mkdir pics
touch house.bas TREE.BAS notes.txt house.png

status=0
# expect "COMMAND LINE TYPED" "COMPLETIONS, sorted, blank-separated"
expect() {
  local line=$1 want=$2
  COMP_LINE=$line
  COMP_POINT=${#line}
  read -ra COMP_WORDS <<< "$line"
  [[ $line == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  local function
  function=$(complete -p "${COMP_WORDS[0]}" | sed 's/.*-F \([^ ]*\).*/\1/')
  "$function" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
  if [[ "$got" != "$want" ]]; then
    echo "'$line': got '$got', expected '$want'"
    status=1
  fi
}

expect "kov1 -" "-- --help --pictures --version"
expect "kov1 --p" "--pictures"
expect "kov1 " "TREE.BAS house.bas pics"
expect "kov1 --pictures h" "house.bas"
expect "kov1 n" "notes.txt"
expect "kov1 --help " ""
expect "kov1-render -" "--crop --help --scale"
expect "kov1-render " "TREE.BAS house.bas pics"
expect "kov1-render --scale 1" "1 10 11 12 13 14 15 16"
expect "kov1-render house.bas " "house.png pics"
expect "kov1-render --crop 0,0,8,8 house.bas h" "house.png"
expect "kov1-render house.bas out.png " ""
[[ $status == 0 ]] && echo "completion: kov1 and kov1-render complete as expected"
exit "$status"
