#!/usr/bin/env bash
# Builds Volscope and runs every test twice: in a plain build, then under AddressSanitizer and
# UndefinedBehaviorSanitizer. Then cross-compiles the Windows OS layer with mingw-w64 and runs its
# tests under Wine. Real-volume tests need root (loop and tmpfs mounts); elsewhere they skip and
# say why.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)

echo "== Plain build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure --timeout 300 -j "$jobs" \
    --output-junit "$PWD/build/test-results.xml"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOLSCOPE_SANITIZE=ON \
    -DVOLSCOPE_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
    ctest --test-dir build-sanitize --output-on-failure --timeout 600 -j "$jobs"

echo "== Windows OS layer: cross-compiled with mingw-w64, run under Wine"
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVOLSCOPE_WITH_QT=OFF \
    -DVOLSCOPE_BENCH=OFF >/dev/null
cmake --build build-windows -j "$jobs"
tests/wine/run_wine_tests.sh build-windows --output-junit "$PWD/build-windows/test-results.xml"

echo
tests/contract_summary.sh "Linux=build/test-results.xml" \
    "Windows under Wine=build-windows/test-results.xml"
