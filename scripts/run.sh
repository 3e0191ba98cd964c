#!/usr/bin/env bash
# Installs what building and running need, builds Volscope without its tests (in build-run/) and
# starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVOLSCOPE_TESTS=OFF -DVOLSCOPE_BENCH=OFF >/dev/null
cmake --build build-run --target volscope
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: starting Volscope in a virtual X server (xvfb-run)." >&2
    exec xvfb-run -a build-run/app/volscope
fi
exec build-run/app/volscope
