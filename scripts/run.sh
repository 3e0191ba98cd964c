#!/usr/bin/env bash
# Builds Volscope and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target volscope
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: starting Volscope in a virtual X server (xvfb-run)." >&2
    exec xvfb-run -a build/app/volscope
fi
exec build/app/volscope
