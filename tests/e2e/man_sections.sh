#!/usr/bin/env bash
# The manual pages as `man` shows them: every section a reader looks for (NAME, SYNOPSIS,
# DESCRIPTION, OPTIONS, ENVIRONMENT, FILES, SIGNALS, EXIT STATUS, SEE ALSO, COPYRIGHT, AUTHOR),
# none of them empty; tavrik.6 has every option of --help with its text under OPTIONS, the
# signal convention under SIGNALS and EXIT STATUS, and the idle manager's line under WAYLAND.
source "$(dirname "$0")/lib.sh"
cd "$E2E_DIR"
if [ -z "${TAVRIK_MAN:-}" ]; then
  echo "no help2man in this build, so no tavrik.6: skipped"
  exit 0
fi

sections=(NAME SYNOPSIS DESCRIPTION OPTIONS ENVIRONMENT FILES SIGNALS "EXIT STATUS" "SEE ALSO"
  COPYRIGHT AUTHOR)
for page in "$TAVRIK_MAN" ${TAVRIK_SETTINGS_MAN:+"$TAVRIK_SETTINGS_MAN"}; do
  name=$(basename "$page")
  LC_ALL=C MANWIDTH=1000 man -l "$page" 2>/dev/null | col -b >"$name.txt"
  for section in "${sections[@]}"; do
    # The heading, then at least one line of text before the next heading.
    awk -v s="$section" '$0 == s {inside = 1; next} /^[A-Z]/ {inside = 0}
      inside && NF > 0 {found = 1} END {exit !found}' "$name.txt" ||
      fail "$name has no section $section with text"
  done
  echo "$name: all ${#sections[@]} sections"
done

text=tavrik.6.txt
awk '/^OPTIONS$/ {inside = 1; next} /^[A-Z]/ {inside = 0} inside' "$text" >options.txt
# Each option line of --help has words after its option column, or a continuation line.
"$TAVRIK_BIN" --help >help.txt
python3 - help.txt <<'PY' || fail "an option of --help has no text"
import re, sys
lines = open(sys.argv[1]).read().split("\n")
for i, line in enumerate(lines):
    if re.match(r"^ {1,10}-", line):
        described = re.search(r"\S  +\S", line.strip()) is not None
        continued = i + 1 < len(lines) and re.match(r"^ {20,}\S", lines[i + 1])
        if not (described or continued):
            sys.exit("no text for: " + line.strip())
PY
for option in -xrm -title -name -class -bg -background -fg -foreground -bw -synchronous -iconic \
  --help --version -fps -root -window-id -delay -geometry --harriers --frames; do
  grep -q -- "$option" options.txt || fail "OPTIONS does not list $option"
done
grep -q "show this help and exit" options.txt || fail "--help has no text in OPTIONS"
awk '/^SIGNALS$/ {inside = 1; next} /^[A-Z]/ {inside = 0} inside' "$text" | tr -s ' \n' ' ' >signals.txt
grep -q "ends killed by that signal" signals.txt || fail "SIGNALS does not tell the convention"
awk '/^WAYLAND$/ {inside = 1; next} /^[A-Z]/ {inside = 0} inside' "$text" >wayland.txt
grep -q "swayidle -w timeout 300 'tavrik -s'" wayland.txt || fail "no WAYLAND section with swayidle's line"
awk '/^EXIT STATUS$/ {inside = 1; next} /^[A-Z]/ {inside = 0} inside' "$text" >status.txt
grep -q "128 + N" status.txt || fail "EXIT STATUS has no 128 + N"
grep -q "Copyright (C) 2026 The TAVRIK developers" "$text" || fail "no copyright line"
grep -q "Written by the TAVRIK developers" "$text" || fail "no author line"
grep -qi "team" "$text" && fail "tavrik.6 still speaks of a team"
echo "manual pages: ok"
