#!/usr/bin/env bash
# Each manual page renders without a warning from man and groff, checked the way lintian does.
# Usage: man_render.sh PAGE.6...
set -euo pipefail
for page in "$@"; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "FAIL: $page renders with warnings:" >&2
    echo "$warnings" >&2
    exit 1
  fi
  echo "$(basename "$page"): renders cleanly"
done
