#!/usr/bin/env bash
# The Linux command line: help and version, clear errors for unknown options, the configure
# switch's hand-over to tavrik-settings.
source "$(dirname "$0")/lib.sh"
cd "$E2E_DIR"

"$TAVRIK_BIN" --help >help.txt || fail "--help failed"
for word in -window-id -root -fps -window " -s " " -p ID" " -c " " -a " --harriers --frames; do
  grep -q -- "$word" help.txt || fail "--help does not mention '$word'"
done
"$TAVRIK_BIN" -version | grep -q '^tavrik [0-9]' || fail "-version printed no version"

expect_error() {
  local status=0
  "$TAVRIK_BIN" "$@" >out.txt 2>err.txt || status=$?
  [ "$status" -ne 0 ] || fail "'$*' should have failed"
  [ "$(wc -l <err.txt)" -eq 1 ] || fail "'$*' should print one line, printed: $(cat err.txt)"
}
expect_error -bogus
expect_error -window-id
expect_error -window-id nonsense
expect_error -window-id 0
expect_error -visual
expect_error --harriers 31
expect_error /x
XSCREENSAVER_WINDOW=junk expect_error -root

# Configure mode starts tavrik-settings beside the program, with the owner window when one is
# given, waits for it and ends with 0.
mkdir -p bin
cp "$TAVRIK_BIN" bin/tavrik
cat >bin/tavrik-settings <<'SCRIPT'
#!/bin/sh
echo "$@" >"$(dirname "$0")/settings-args.txt"
SCRIPT
chmod +x bin/tavrik-settings
env -u DISPLAY bin/tavrik /c 1234 || fail "/c 1234 did not end with 0"
[ "$(cat bin/settings-args.txt)" = "--owner 1234" ] || fail "got: $(cat bin/settings-args.txt)"
env -u DISPLAY bin/tavrik -c || fail "-c did not end with 0"
[ -z "$(cat bin/settings-args.txt)" ] || fail "-c without an owner passed: $(cat bin/settings-args.txt)"
# SIGTERM or SIGHUP while the dialog is open ends both, tavrik then by that signal; SIGKILL
# ends the dialog too.
cat >bin/tavrik-settings <<'SCRIPT'
#!/bin/sh
echo $$ >"$(dirname "$0")/settings-pid.txt"
exec sleep 60
SCRIPT
for signal in TERM HUP KILL; do
  rm -f bin/settings-pid.txt
  env -u DISPLAY bin/tavrik -c &
  configure=$!
  E2E_PIDS+=("$configure")
  wait_for 10 test -s bin/settings-pid.txt || fail "the dialog did not start"
  kill "-$signal" "$configure"
  wait_exit "$configure" 15
  [ "$EXIT_STATUS" = $((128 + $(kill -l "$signal"))) ] ||
    fail "SIG$signal ended configure mode with '$EXIT_STATUS'"
  wait_for 5 bash -c "! kill -0 $(cat bin/settings-pid.txt) 2>/dev/null" ||
    fail "the dialog outlived tavrik on SIG$signal"
done
# Missing: one line, and 1.
rm bin/tavrik-settings
status=0
env -u DISPLAY PATH=/usr/bin:/bin bin/tavrik -c 2>err.txt || status=$?
[ "$status" = 1 ] || fail "-c without the dialog ended with $status"
[ "$(cat err.txt)" = "tavrik: the settings dialog (tavrik-settings) is not installed" ] ||
  fail "-c without the dialog said: $(cat err.txt)"

# Headless runs still work through the same command line.
"$TAVRIK_BIN" --seed 1 --frame-ms 16 --frames 3 --trace t.jsonl || fail "headless run failed"
[ "$(wc -l <t.jsonl)" -eq 4 ] || fail "expected a header and three frames"

# The XScreenSaver description: the structure of every description, a "Written by" line, and
# every argument it can pass taken by tavrik (a headless run of no frames parses them all).
xml="${TAVRIK_XML:?TAVRIK_XML must name the description that the build wrote}"
xmllint --noout --relaxng "$(dirname "$0")/xscreensaver.rng" "$xml" ||
  fail "tavrik.xml does not have the structure of a description"
grep -q '<command arg="--root"/>' "$xml" || fail "tavrik.xml does not run --root"
grep -q '^Written by .*; 2026\.$' "$xml" || fail "tavrik.xml has no 'Written by ...; 2026.' line"
python3 - "$xml" >args.txt <<'PY'
import sys, xml.etree.ElementTree as ET
for control in ET.parse(sys.argv[1]).getroot():
    if control.tag == "number":
        for value in (control.get("low"), control.get("high")):
            if value != control.get("default"):  # a control at its default passes nothing
                print(control.get("arg").replace("%", value))
    for option in [control] + control.findall("option"):
        if option.get("arg-set"):
            print(option.get("arg-set"))
PY
[ "$(wc -l <args.txt)" -ge 15 ] || fail "tavrik.xml passes only: $(cat args.txt)"
while read -r args; do
  # shellcheck disable=SC2086 # the description's argument is several words
  "$TAVRIK_BIN" $args --frames 0 || fail "tavrik does not take '$args' from its description"
done <args.txt
echo "command line: ok"
