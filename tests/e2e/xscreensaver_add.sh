#!/usr/bin/env bash
# tavrik --add-to-xscreensaver on a ~/.xscreensaver in the shape XScreenSaver's settings dialog
# writes: the first run adds one line to the programs list and keeps every other byte, the file's
# permissions and a symbolic link in its place; the second changes nothing. A file that cannot
# be replaced is left as it was, with one line and 1.
source "$(dirname "$0")/lib.sh"
cd "$E2E_DIR"
export HOME="$E2E_DIR/home"
mkdir -p "$HOME/dotfiles"
printf '%b' '# XScreenSaver Preferences File\n# Written by xscreensaver-settings 6.06.\n\n' \
  'timeout:\t\t0:10:00\nmode:\t\trandom\nselected:\t-1\n\n' \
  'programs:\t\t\t\t\t\t\t\t      \\\n' \
  '\t\t\t\tmaze -root\t\t\t\t    \\n\\\n' \
  '-\t\t"Qix (solid)" \tqix -root -solid -segments 100\t    \\n\\\n' \
  '  GL: \t\t\t\tgears -root\t\t\t\t    \\n\\n\n\n\n' \
  'pointerHysteresis:\t10\n' >"$HOME/dotfiles/xscreensaver"
ln -s dotfiles/xscreensaver "$HOME/.xscreensaver"
chmod 600 "$HOME/dotfiles/xscreensaver"
cp "$HOME/dotfiles/xscreensaver" before

"$TAVRIK_BIN" --add-to-xscreensaver >first.txt || fail "the first run failed: $(cat first.txt)"
grep -q "^tavrik: added TAVRIK to the programs of '$HOME/.xscreensaver'" first.txt ||
  fail "the first run said: $(cat first.txt)"
[ -L "$HOME/.xscreensaver" ] || fail "the link was replaced by a file"
[ "$(stat -c %a "$HOME/dotfiles/xscreensaver")" = 600 ] || fail "the file's permissions changed"
diff before "$HOME/.xscreensaver" >added.diff && fail "nothing was added"
[ "$(grep -c '^[<>]' added.diff)" = 1 ] || fail "more than one line changed: $(cat added.diff)"
# The hack by name where it is installed in /usr, else by its whole path.
grep -Eqx '> *"TAVRIK" *(tavrik|/.*/libexec/xscreensaver/tavrik) --root \\n\\' added.diff ||
  fail "the added line: $(cat added.diff)"
cp "$HOME/.xscreensaver" once

"$TAVRIK_BIN" --add-to-xscreensaver >second.txt || fail "the second run failed"
grep -q "run tavrik already; nothing changed" second.txt || fail "the second run said: $(cat second.txt)"
cmp once "$HOME/.xscreensaver" || fail "the second run changed the file"

# A folder that cannot be written: the file stays, one line, 1.
# (Root writes anywhere, so there the run is an ordinary user's.)
rm "$HOME/.xscreensaver"
cp before "$HOME/.xscreensaver"
chmod 644 "$HOME/.xscreensaver"
chmod a-w "$HOME"
as_user=()
[ "$(id -u)" -ne 0 ] || as_user=(runuser -u nobody --)
status=0
"${as_user[@]}" env HOME="$HOME" "$TAVRIK_BIN" --add-to-xscreensaver 2>denied.txt >/dev/null ||
  status=$?
chmod u+w "$HOME"
[ "$status" = 1 ] || fail "an unwritable folder ended with $status"
[ "$(wc -l <denied.txt)" = 1 ] && grep -q "^tavrik: cannot" denied.txt || fail "$(cat denied.txt)"
cmp before "$HOME/.xscreensaver" || fail "a failed run changed the file"
echo "xscreensaver add: ok"
