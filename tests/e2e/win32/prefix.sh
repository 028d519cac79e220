#!/usr/bin/env bash
# Makes the Wine prefix that every Windows test runs in.
set -euo pipefail
export WINELOADER=$WINE WINEDEBUG=-all
rm -rf "$WINEPREFIX"
# No display and no .NET or HTML engines: nothing may ask a question while the prefix is made.
env -u DISPLAY WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" wineboot -i
# Without a window manager Wine waits about two seconds for each closed window to be withdrawn;
# unmanaged windows close at once.
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
# Japanese text in the screenshots: the dialog's font and the message box's fall back to the
# IPA Gothic font of the Linux system.
"$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
  /v Tahoma /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null
fonts="$WINEPREFIX/drive_c/fonts.reg"
printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n%s\r\n' \
  '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' '"ＭＳ Ｐゴシック"="IPAPGothic"' |
  iconv -f UTF-8 -t UTF-16 >"$fonts"
"$WINE" regedit /S 'C:\fonts.reg'
wineserver -w
