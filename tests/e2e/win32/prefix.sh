#!/usr/bin/env bash
# Makes the Wine prefix that every Windows test runs in. Without a window manager Wine waits
# about two seconds for each closed window to be withdrawn; unmanaged windows close at once.
set -euo pipefail
export WINELOADER=$WINE WINEDEBUG=-all
rm -rf "$WINEPREFIX"
"$WINE" wineboot -i
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
wineserver -w
