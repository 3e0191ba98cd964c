#!/usr/bin/env bash
# The program starts offscreen and is still running, waiting for the user, after two seconds:
# no crash and no early exit at start-up.
set -u
QT_QPA_PLATFORM=offscreen timeout 2 "$1"
status=$?
[ "$status" -eq 124 ] && exit 0
echo "volscope ended by itself with status $status"
exit 1
