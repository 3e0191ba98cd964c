#!/usr/bin/env bash
# Usage: scripts/check-package.sh BUILD_DIR
# Builds Volscope as a packager would (a plain Release build, configured here in BUILD_DIR),
# makes the Debian package with CPack and checks it: lintian (errors and warnings fail), the
# menu entry with desktop-file-validate, the AppStream metainfo with appstreamcli, and the
# packaged program itself, extracted into a temporary root and started under Xvfb, whose main
# window must appear within 20 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/check-package.sh BUILD_DIR}

echo "== Debian package: Release build, lintian, menu entry, metainfo, start under Xvfb"
started=$SECONDS
# Without its old cache the build is configured exactly as here, whatever BUILD_DIR held before.
rm -f "$build/CMakeCache.txt"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOLSCOPE_WERROR=OFF \
    -DVOLSCOPE_TESTS=OFF -DVOLSCOPE_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/volscope_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/volscope_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "cpack made no single volscope_*.deb in $build" >&2
    exit 1
fi
deb=${debs[0]}
echo "$deb: $(stat -c %s "$deb") bytes"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"

# As root lintian says it would rather not run so; that note is not about the package.
lintianOutput=$(lintian --fail-on error,warning --display-info "$deb" \
    2> >(grep -v "root privileges" >&2)) || {
    echo "$lintianOutput"
    echo "lintian found errors or warnings in $deb" >&2
    exit 1
}
[ -n "$lintianOutput" ] && echo "$lintianOutput"
echo "lintian: $(grep -c '^E:' <<<"$lintianOutput" || true) errors," \
    "$(grep -c '^W:' <<<"$lintianOutput" || true) warnings," \
    "$(grep -c '^I:' <<<"$lintianOutput" || true) infos"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net --explain "$root"/usr/share/metainfo/*.metainfo.xml

# The packaged program must find everything it needs where it is installed: it starts in the
# scratch folder, away from the source tree, and Qt's runtime folder and anything written to the
# home folder go there too. Its main window is a normal window titled "Volscope"; a message box
# at start-up has that title too, but is a dialog, and does not count.
mkdir -m 700 "$scratch/runtime" "$scratch/home"
windowCheck='
    "$1/usr/bin/volscope" & program=$!
    window=
    for _ in $(seq 100); do
        for candidate in $(xdotool search --onlyvisible --name "^Volscope\$" 2>/dev/null); do
            xprop -id "$candidate" _NET_WM_WINDOW_TYPE | grep -q "_NET_WM_WINDOW_TYPE_NORMAL" &&
                window=$candidate
        done
        [ -n "$window" ] && break
        kill -0 "$program" 2>/dev/null || break
        sleep 0.2
    done
    running=no
    kill -0 "$program" 2>/dev/null && running=yes
    kill "$program" 2>/dev/null
    wait "$program" 2>/dev/null || true
    [ "$running" = yes ] || { echo "the packaged volscope ended by itself" >&2; exit 1; }
    [ -n "$window" ] || { echo "the packaged volscope showed no window within 20 s" >&2; exit 1; }
    echo "The packaged volscope showed its main window (X window $window)."'
(cd "$scratch" && XDG_RUNTIME_DIR=$scratch/runtime HOME=$scratch/home \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$windowCheck" _ "$root")
echo "Package checked in $((SECONDS - started)) s."
