#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate without an error or a warning (its hints, such
# as the lack of a main menu category, are printed and allowed), and runs the installed hack.
# Usage: desktop_entry.sh tavrik.desktop /PREFIX/libexec/xscreensaver/tavrik
set -euo pipefail
entry=$1
hack=$2
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

command -v desktop-file-validate >/dev/null ||
  fail "desktop-file-validate is missing (package desktop-file-utils; scripts/install-deps.sh)"
status=0
report=$(desktop-file-validate "$entry" 2>&1) || status=$?
[ -z "$report" ] || echo "$report"
[ "$status" = 0 ] || fail "desktop-file-validate rejected $entry"
! grep -q -E ': (error|warning): ' <<<"$report" || fail "desktop-file-validate warned about $entry"

grep -qx "Exec=$hack --root" "$entry" || fail "Exec does not run $hack --root"
grep -qx "TryExec=$hack" "$entry" || fail "TryExec is not $hack"
! grep -q '^NoDisplay=' "$entry" || fail "the entry is hidden (NoDisplay)"
echo "desktop entry: ok"
