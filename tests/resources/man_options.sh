#!/usr/bin/env bash
# Every option that `tavrik --help` lists, each word starting with - in its option column, is in
# the manual page, so the page keeps up with the program.
# Usage: man_options.sh TAVRIK tavrik.6
set -euo pipefail
tavrik=$1
page=$2

help=$("$tavrik" --help)
# Option lines are indented and start with -; the column ends at the first gap of two spaces.
options=$(sed -n 's/^ \{1,\}\(-.*\)$/\1/p' <<<"$help" | sed 's/  .*//' | tr ' ,' '\n\n' |
  grep -E '^-' | sed 's/[^-A-Za-z0-9]*$//' | sort -u)
[ "$(wc -l <<<"$options")" -ge 20 ] || {
  echo "FAIL: found only these options in --help: $options" >&2
  exit 1
}
text=$(LC_ALL=C MANWIDTH=1000 man -l "$page" 2>/dev/null | col -b)
missing=()
while read -r option; do
  grep -q -E -- "(^|[^-A-Za-z0-9])$option([^-A-Za-z0-9]|\$)" <<<"$text" || missing+=("$option")
done <<<"$options"
if [ ${#missing[@]} -gt 0 ]; then
  echo "FAIL: not in $page: ${missing[*]}" >&2
  exit 1
fi
echo "all $(wc -l <<<"$options") options of --help are in $(basename "$page")"
