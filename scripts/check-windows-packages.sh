#!/usr/bin/env bash
# Usage: scripts/check-windows-packages.sh BUILD_DIR (a Windows build, as the test command makes)
# Makes the Windows packages with CPack, the ZIP and the NSIS installer, and checks them: the ZIP
# holds volscope.exe, the README and the licence, and nothing else; the installer, run silently
# under Wine in the build's test prefix, installs those files with a Start menu entry and an
# uninstaller registered with Windows, and the uninstaller takes all of it away again.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:?usage: scripts/check-windows-packages.sh BUILD_DIR}")

echo "== Windows packages: ZIP and NSIS installer, installed and removed under Wine"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name="Volscope-$version-win64"
rm -f "$build/$name.zip" "$build/$name.exe"
(cd "$build" && cpack -G "ZIP;NSIS" >/dev/null)

fail() {
    echo "$*" >&2
    exit 1
}
listed=$(unzip -Z1 "$build/$name.zip" | sort | tr '\n' ' ')
[ "$listed" = "$name/LICENSE $name/README.md $name/volscope.exe " ] ||
    fail "$name.zip holds: $listed"
echo "$name.zip: $(stat -c %s "$build/$name.zip") bytes: $listed"

export WINEPREFIX="$build/wine/prefix" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
tests/wine/gui_prefix.sh "$WINEPREFIX" 96
trap 'wineserver -k 2>/dev/null || true' EXIT
# NSIS takes /D= and _?= unquoted, and Wine quotes an argument with a space: a folder without.
target='C:\VolscopeTest'
folder="$WINEPREFIX/drive_c/VolscopeTest"
uninstallKey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Volscope'
# From a clean prefix: what an interrupted earlier check may have left goes first.
rm -rf "$folder" "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Volscope"
wine reg delete "$uninstallKey" /f </dev/null >/dev/null 2>&1 || true
timeout 120 wine "$build/$name.exe" /S "/D=$target" </dev/null >/dev/null 2>&1 ||
    fail "the installer failed"
for file in volscope.exe README.md LICENSE Uninstall.exe; do
    [ -f "$folder/$file" ] || fail "the installer left out $file"
done
shortcut=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Volscope.lnk' | head -n 1)
[ -n "$shortcut" ] || fail "the installer made no Start menu entry"
wine reg query "$uninstallKey" </dev/null >/dev/null 2>&1 ||
    fail "the installer registered no uninstaller"
echo "$name.exe: $(stat -c %s "$build/$name.exe") bytes; installed, Start menu: ${shortcut#"$WINEPREFIX/"}"

# _? makes the uninstaller run in place and return when it is done.
timeout 120 wine "$folder/Uninstall.exe" /S "_?=$target" </dev/null >/dev/null 2>&1 ||
    fail "the uninstaller failed"
rm -f "$folder/Uninstall.exe"  # run in place, it cannot delete itself
[ -z "$(ls -A "$folder" 2>/dev/null)" ] || fail "the uninstaller left: $(ls -A "$folder")"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start menu entry"
wine reg query "$uninstallKey" </dev/null >/dev/null 2>&1 &&
    fail "the uninstaller left its registry entry"
rmdir "$folder" 2>/dev/null || true
echo "uninstalled: files, Start menu entry and registry entry gone"
