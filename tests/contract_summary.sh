#!/usr/bin/env bash
# Prints how many tests of the contract suites each backend ran, from ctest's JUnit files, by
# build: the platform's suites (one row per OS backend, named by the test's parameter) and the
# toolkit's (one row per build, whose toolkit backend it is; a row that runs a whole suite at
# another DPI counts as one test).  Usage: tests/contract_summary.sh BUILD_NAME=RESULTS.xml...
set -euo pipefail

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
    grep -o '<testcase name="[^"]*[A-Za-z]Contract\.[^"/]*/[A-Za-z0-9]* [^>]*status="[a-z]*"' \
        "${pair#*=}" |
        sed -E 's|.*Contract\.[^/]*/([A-Za-z0-9]+) .*status="([a-z]+)"|\1 \2|' |
        count "${pair%%=*}"
done
echo "Toolkit contract suite, tests run by build:"
for pair in "$@"; do
    # A build without a toolkit (the Windows OS layer alone) has no such tests.
    { grep -o '<testcase name="ToolkitContract\.[^"]*" [^>]*status="[a-z]*"' "${pair#*=}" ||
        true; } |
        sed -E 's|.*status="([a-z]+)"|toolkit \1|' | count "${pair%%=*}"
done
