#!/usr/bin/env bash
# Runs the tests of a Windows build (cross-compiled with mingw-w64) under Wine, on drives of
# known type, label, serial and size built in a fresh Wine prefix:
#   M: a dosdevices symlink to a 4 MiB tmpfs (a plain folder where mounting is not permitted),
#      with its label and serial in .windows-label and .windows-serial, the folder Listing that
#      the listing tests know and the file Known.txt with known times that the file tests know
#      (tests/platform/contract_backend.h);
#   N: a folder registered as a CD-ROM drive in HKLM\Software\Wine\Drives, with a label;
#   O: a dosdevices symlink to an empty folder: a root without any entry;
#   Q: nothing.
# The prefix is kept in BUILD_DIR/wine and set up for real windows (tests/wine/gui_prefix.sh:
# null display driver, 96 DPI, fonts); copies at 120 and 192 DPI (WINE_PREFIX_120DPI,
# WINE_PREFIX_192DPI) run the toolkit contract again, and another copy at 96 DPI
# (VOLSCOPE_DEAD_DRIVE_PREFIX) the tests of a drive that stops answering (tests/wine/dead_drive.sh).
# Wine's helper processes outlive the programs and can hold ctest's pipes open, so the
# wineservers run persistently for the whole run and are stopped at the end.
# Usage: tests/wine/run_wine_tests.sh BUILD_DIR [ctest arguments...]
set -euo pipefail
here=$(dirname "$(realpath "$0")")
build=$(realpath "$1")
shift

work=$(mktemp -d /tmp/volscope-wine-XXXXXX)
export WINEPREFIX="$build/wine/prefix" WINEDEBUG=-all
export WINE_PREFIX_120DPI="$build/wine/prefix-120dpi" WINE_PREFIX_192DPI="$build/wine/prefix-192dpi"
export VOLSCOPE_DEAD_DRIVE_PREFIX="$build/wine/prefix-dead-drive"
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
    wineserver -k 2>/dev/null || true
    WINEPREFIX="$WINE_PREFIX_120DPI" wineserver -k 2>/dev/null || true
    WINEPREFIX="$WINE_PREFIX_192DPI" wineserver -k 2>/dev/null || true
    umount "$work/fixed" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

"$here/gui_prefix.sh" "$WINEPREFIX" 96
"$here/gui_prefix.sh" "$WINE_PREFIX_120DPI" 120 "$WINEPREFIX"
"$here/gui_prefix.sh" "$WINE_PREFIX_192DPI" 192 "$WINEPREFIX"
"$here/gui_prefix.sh" "$VOLSCOPE_DEAD_DRIVE_PREFIX" 96 "$WINEPREFIX"
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$work/fixed" "$work/cdrom" "$work/bare"
wineserver -p
# Wine's services start with the first program of a prefix and would hold that test's pipes.
for prefix in "$WINE_PREFIX_120DPI" "$WINE_PREFIX_192DPI"; do
    WINEPREFIX="$prefix" wineserver -p
    WINEPREFIX="$prefix" wineboot >/dev/null 2>&1 </dev/null
done

mount -t tmpfs -o size=4m volscope-wine "$work/fixed" 2>/dev/null ||
    echo "note: cannot mount a tmpfs here; M: is a plain folder"
# Wine drops the trailing blanks of a label file, so only leading ones are checked for here.
label="  Contract"
printf '%s' "$label" >"$work/fixed/.windows-label"
printf '1a2b3c4d' >"$work/fixed/.windows-serial"
printf 'VOLSCOPE CD' >"$work/cdrom/.windows-label"
listing="$work/fixed/Listing"
mkdir -p "$listing/Sub" "$listing/Empty"
printf 'hello' >"$listing/plain.txt"
printf 'abc' >"$listing/readonly.txt"
chmod 0444 "$listing/readonly.txt"
printf '.' >"$listing/.dotfile"
printf 'm' >"$listing/marked.txt"
: >"$listing/Sub/inner.txt"
printf '0123456789' >"$work/fixed/Known.txt"
touch -m -d '2004-01-05 14:03:07.1234567 UTC' "$work/fixed/Known.txt"
touch -a -d '1969-07-20 20:17:40.5 UTC' "$work/fixed/Known.txt"
# Wine reads the hidden and system bits of Samba's text form.
folder=";folder=Listing"
setfattr -n user.DOSATTRIB -v '"0x22"' "$listing/marked.txt" 2>/dev/null || {
    echo "note: no user.* extended attributes on M:; the listing tests skip"
    folder=""
}
ln -sfn "$work/fixed" "$WINEPREFIX/dosdevices/m:"
ln -sfn "$work/cdrom" "$WINEPREFIX/dosdevices/n:"
ln -sfn "$work/bare" "$WINEPREFIX/dosdevices/o:"
rm -f "$WINEPREFIX/dosdevices/q:"
wine reg add 'HKLM\Software\Wine\Drives' /v n: /d cdrom /f >/dev/null 2>&1
# The mount manager reads drive types when it starts: restart Wine's services.
wineserver -k
wineserver -w
wineserver -p
wineboot >/dev/null 2>&1

read -r blocks available blockSize < <(stat -f -c '%b %a %S' "$work/fixed")
export VOLSCOPE_WINE_DRIVES="fixed=M;cdrom=N;empty=Q;emptyRoot=O;label=$label;serial=1A2B3C4D;cdromLabel=VOLSCOPE CD;total=$((blocks * blockSize));free=$((available * blockSize))$folder;knownFile=Known.txt"

# Each test program writes its results here (tests/CMakeLists.txt); none may be left from before.
rm -rf "$build/gtest-results"
ctest --test-dir "$build" --output-on-failure --timeout 120 "$@"
