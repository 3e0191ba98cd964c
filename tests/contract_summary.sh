#!/usr/bin/env bash
# Prints how many tests of the contract suites each backend ran, by build: the platform's suites
# (one row per OS backend, named by the test's parameter) and the toolkit's (one row per build,
# whose toolkit backend it is, its table-driven rows included; the whole suite's runs at 120 and
# 192 DPI are not counted).
# RESULTS is ctest's JUnit file (one testcase per test) or a folder of GoogleTest XML files (one
# per test program, as the Windows build writes them under Wine).
# Usage: tests/contract_summary.sh BUILD_NAME=RESULTS...
set -euo pipefail

# "Suite.Test/Param status" lines, status run, fail or skipped.
results() {
    if [ -d "$1" ]; then
        cat "$1"/*.xml 2>/dev/null |
            grep -o '<testcase name="[^"]*"[^>]*' |
            sed -E 's|.*name="([^"]*)".*result="([a-z]*)".*classname="([^"]*)".*|\3.\1 \2|' |
            sed -E 's/ completed$/ run/'
    else
        grep -o '<testcase name="[^"]*" [^>]*status="[a-z]*"' "$1" |
            sed -E 's|<testcase name="([^" ]*)[^"]*" .*status="([a-z]*)"|\1 \2|' |
            sed -E 's/ (disabled|notrun)$/ skipped/'
    fi
}

count() {  # BUILD_NAME: reads "backend status" lines, prints one summary line per backend
    awk -v build="$1" '
        { ran[$1]++; if ($2 == "run") passed[$1]++; else if ($2 == "fail") failed[$1]++;
          else skipped[$1]++ }
        END { for (b in ran)
                  printf "  %-6s (%s): %d tests, %d passed, %d failed, %d skipped\n", b, build,
                         ran[b], passed[b], failed[b], skipped[b] }'
}

echo "Platform contract suites, tests run by backend:"
for pair in "$@"; do
    results "${pair#*=}" | { grep -E '^[^ ]*[A-Za-z]Contract\.[^ /]*/[A-Za-z0-9]+ ' || true; } |
        sed -E 's|^[^ ]*/([A-Za-z0-9]+) |\1 |' | count "${pair%%=*}"
done
echo "Toolkit contract suite, tests run by build:"
for pair in "$@"; do
    results "${pair#*=}" |
        { grep -E '^([A-Za-z]+/)?ToolkitContract[A-Za-z]*\.' | grep -v '^ToolkitContract\.AllAt' ||
            true; } |
        sed -E 's|^[^ ]* |toolkit |' | count "${pair%%=*}"
done
