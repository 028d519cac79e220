#!/usr/bin/env bash
# A desktop entry passes desktop-file-validate without an error or a warning (its hints, such
# as the lack of a main menu category, are printed and allowed), and runs the installed program.
# Usage: desktop_entry.sh ENTRY "COMMAND"   (for example tavrik.desktop
#        "/PREFIX/libexec/xscreensaver/tavrik --root")
set -euo pipefail
entry=$1
command=$2
program=${command%% *}
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

grep -qx "Exec=$command" "$entry" || fail "Exec does not run $command"
grep -qx "TryExec=$program" "$entry" || fail "TryExec is not $program"
grep -qx "Name=TAVRIK.*" "$entry" || fail "the entry's name does not begin with TAVRIK"
! grep -q '^NoDisplay=' "$entry" || fail "the entry is hidden (NoDisplay)"
echo "desktop entry: ok"
