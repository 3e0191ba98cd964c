#!/usr/bin/env bash
# Checks the formatting, builds Volscope and runs every test twice: in a plain build, then under
# AddressSanitizer and UndefinedBehaviorSanitizer. Then fuzzes the user.DOSATTRIB parser for 30
# seconds, cross-compiles the Windows build with mingw-w64, runs its tests under Wine and makes
# and checks its ZIP and installer, and builds and checks the Debian package from a plain
# Release build. Real-volume tests need root (loop and tmpfs mounts); elsewhere they skip and say
# why.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs=$(nproc)

echo "== Formatting (clang-format)"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

echo "== Plain build"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
ctest --test-dir build --output-on-failure --timeout 300 -j "$jobs" \
    --output-junit "$PWD/build/test-results.xml"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOLSCOPE_SANITIZE=ON -DVOLSCOPE_WERROR=ON \
    -DVOLSCOPE_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
    ctest --test-dir build-sanitize --output-on-failure --timeout 600 -j "$jobs"

echo "== Fuzzing the user.DOSATTRIB parser for 30 seconds (libFuzzer, ASan, UBSan)"
cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVOLSCOPE_WERROR=ON >/dev/null
cmake --build build-fuzz -j "$jobs"
# New inputs go to a scratch folder; the committed seeds stay as they are. Only a crash fails.
fuzzInputs=$(mktemp -d)
if ! build-fuzz/dos_attrib_fuzz -max_total_time=30 -timeout=10 -artifact_prefix=build-fuzz/ \
        "$fuzzInputs" tests/fuzz/corpus/dos_attrib >build-fuzz/fuzz.log 2>&1; then
    tail -n 60 build-fuzz/fuzz.log
    rm -rf "$fuzzInputs"
    echo "The fuzzer found a failing input: build-fuzz/crash-* (log: build-fuzz/fuzz.log)" >&2
    exit 1
fi
grep -E "^Done [0-9]+ runs" build-fuzz/fuzz.log || true
rm -rf "$fuzzInputs"

echo "== Windows: volscope.exe and its tests, cross-compiled with mingw-w64, run under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
tests/wine/run_wine_tests.sh build-windows --output-junit "$PWD/build-windows/test-results.xml"
scripts/check-windows-packages.sh build-windows

scripts/check-package.sh build-release

echo
tests/contract_summary.sh "Linux=build/test-results.xml" \
    "Windows under Wine=build-windows/gtest-results"
