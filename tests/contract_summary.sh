#!/usr/bin/env bash
# Prints how many tests of the platform contract suites each backend ran, from ctest's JUnit
# files, by build.  Usage: tests/contract_summary.sh BUILD_NAME=RESULTS.xml...
set -euo pipefail
echo "Platform contract suites, tests run by backend:"
for pair in "$@"; do
    build=${pair%%=*}
    grep -o '<testcase name="[^"]*[A-Za-z]*Contract\.[^"]*" [^>]*status="[a-z]*"' "${pair#*=}" |
        sed -E 's|.*[A-Za-z]*Contract\.[^/]*/([A-Za-z0-9]+) .*status="([a-z]+)"|\1 \2|' |
        awk -v build="$build" '
            { ran[$1]++; if ($2 == "run") passed[$1]++; else if ($2 == "fail") failed[$1]++;
              else skipped[$1]++ }
            END { for (b in ran)
                      printf "  %-6s (%s): %d tests, %d passed, %d failed, %d skipped\n", b, build,
                             ran[b], passed[b], failed[b], skipped[b] }'
done
