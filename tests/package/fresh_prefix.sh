#!/usr/bin/env bash
# A Wine prefix as a new Windows machine has it, for the installer tests: made once per test run
# (wineboot costs seconds and hundreds of megabytes), set up like the project's test prefix (no
# crash dialog, a virtual desktop, window-frame fonts), and removed again by "down".
#   fresh_prefix.sh up|down PREFIX
set -euo pipefail
action="$1"
export WINEPREFIX="$2"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

case "$action" in
  up)
    [ -d "$WINEPREFIX" ] && { wineserver -k </dev/null >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"; }
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot made no prefix in $WINEPREFIX" >&2; exit 1; }
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f \
      </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x800 /f \
      </dev/null >/dev/null 2>&1
    wineserver -w
    cp /usr/share/wine/fonts/tahoma*.ttf /usr/share/wine/fonts/marlett.ttf \
      "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # Kept warm for the tests, with every stream closed so no background process holds ctest's.
    wineserver -p 60 </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    ;;
  down)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    ;;
  *)
    echo "usage: fresh_prefix.sh up|down PREFIX" >&2
    exit 2
    ;;
esac
