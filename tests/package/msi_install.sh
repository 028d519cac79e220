#!/usr/bin/env bash
# The Windows installer under Wine, built by the release's own recipe (scripts/make-msi.sh)
# from this build's tavrik.scr: a silent install puts the saver into the system folder and
# writes the Add/Remove Programs entry with the version and publisher; the installed saver's /c
# opens its dialog with the same version in its banner; a silent uninstall removes the file and
# the entry, and leaves the user's settings. MSI_ARCH is x64 for a 64-bit build, x86 for the
# 32-bit one; either lands in System32 of a prefix of its own width.
source "$(dirname "$0")/../e2e/win32/win_lib.sh"
: "${TAVRIK_VERSION:?TAVRIK_VERSION must name the version of the project}"
: "${MSI_ARCH:?MSI_ARCH must be x86 or x64}"
top=$(cd "$(dirname "$0")/../.." && pwd)
win_display 1024x768x24
cd "$E2E_DIR"

strip=x86_64-w64-mingw32-strip
[ "$MSI_ARCH" = x64 ] || strip=i686-w64-mingw32-strip
"$strip" -o tavrik.scr "$TAVRIK_SCR"
"$top/scripts/make-msi.sh" tavrik.scr "$MSI_ARCH" "$TAVRIK_VERSION" tavrik.msi
code=$(msiinfo export tavrik.msi Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
[ -n "$code" ] || fail "the package has no product code"
entry="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code"
installed="$WINEPREFIX/drive_c/windows/system32/tavrik.scr"
rm -f "$installed"

# uninstall_value NAME: a value of the Add/Remove Programs entry, or nothing.
uninstall_value() {
  win reg query "$entry" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

reset_settings
win reg add 'HKCU\Software\Tavrik10618' /v numHarriers /t REG_DWORD /d 7 /f >/dev/null

win msiexec /i tavrik.msi /qn || fail "msiexec /i ended with $?"
cmp -s tavrik.scr "$installed" || fail "the saver was not installed into System32"
[ "$(uninstall_value DisplayVersion)" = "$TAVRIK_VERSION" ] ||
  fail "the uninstall entry's version is '$(uninstall_value DisplayVersion)'"
[ "$(uninstall_value DisplayName)" = "TAVRIK screen saver" ] ||
  fail "the uninstall entry's name is '$(uninstall_value DisplayName)'"
[ "$(uninstall_value Publisher)" = "The TAVRIK developers" ] ||
  fail "the uninstall entry's publisher is '$(uninstall_value Publisher)'"
# Add/Remove Programs shows an installed package's icon from its product registration.
[ -f "$WINEPREFIX/drive_c/windows/Installer/$code/tavrik.ico" ] &&
  grep -q "ProductIcon.*$code" <<<"$(win reg query 'HKCR\Installer\Products' /s)" ||
  fail "the installed product has no icon"

# The installed saver, as the settings page starts it.
TAVRIK_SCR='C:\windows\system32\tavrik.scr'
start_scr /c
wait_for 20 probe dialog TAVRIK || fail "the installed saver's /c opened no dialog"
banner=$(probe dialog TAVRIK | sed -n 's/^control=1015,//p' | cut -d, -f7)
[ "$banner" = "TAVRIK version $TAVRIK_VERSION" ] || fail "the dialog's banner is '$banner'"
point=$(probe_value point point TAVRIK 2)
xdotool mousemove "${point%,*}" "${point#*,}" click 1
wait_exit "$SAVER" 10
[ "$EXIT_STATUS" = 0 ] || fail "CANCEL ended the dialog with '$EXIT_STATUS'"

win msiexec /x tavrik.msi /qn || fail "msiexec /x ended with $?"
[ ! -e "$installed" ] || fail "uninstalling left tavrik.scr in System32"
[ -z "$(uninstall_value DisplayVersion)" ] || fail "uninstalling left the uninstall entry"
[ "$(setting numHarriers)" = 7 ] || fail "uninstalling did not leave the user's settings"
echo "msi: ok"
