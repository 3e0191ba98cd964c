#!/usr/bin/env bash
# Makes a Wine prefix for tests of real windows, once (a prefix is about 700 MB and takes some
# 10 s to make, so it is kept, in the build folder, and made again only when this script
# changes): Wine's null display driver (real windows, no X server needed), the given dots per
# inch (Wine does not scale windows for the program), no theme (it makes filling a visible list
# box some 50 times slower), no crash dialog (a crashing test ends instead of waiting), and the
# fonts that Debian's wine does not find by itself (MS Sans Serif, Tahoma, Marlett for the
# caption buttons; Liberation for Times New Roman, Arial and Courier New).
# Usage: tests/wine/gui_prefix.sh PREFIX [DPI [FROM]]; with FROM, a copy of that prefix at DPI.
set -euo pipefail
prefix=$1
dpi=${2:-96}
from=${3:-}

stamp="$prefix/.volscope-gui-prefix"
version="$(sha1sum "$0" | cut -c1-12) $dpi"
[ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ] && exit 0

export WINEPREFIX="$prefix" WINEDEBUG=-all
# File associations (the shell's file icons) are made by wineboot only without these overrides.
unset DISPLAY WAYLAND_DISPLAY WINEDLLOVERRIDES
wineserver -k 2>/dev/null || true
rm -rf "$prefix"
if [ -n "$from" ]; then
    cp -a "$from" "$prefix"
    rm -f "$stamp"
else
    mkdir -p "$prefix"
    wineboot -i >/dev/null 2>&1
    cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
fi

settings=$(mktemp --suffix=.reg)
trap 'rm -f "$settings"' EXIT
cat >"$settings" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]
"Graphics"="null"

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$(printf '%08x' "$dpi")

[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager]
"ThemeActive"="0"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"Times New Roman"="Liberation Serif"
"Arial"="Liberation Sans"
"Courier New"="Liberation Mono"
REG
wine regedit /S "$(winepath -w "$settings")" >/dev/null 2>&1
wineserver -w
echo "$version" >"$stamp"
