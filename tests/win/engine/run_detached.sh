#!/usr/bin/env bash
# Runs a command (the Wine emulator and a test program) with its output going
# to a file rather than to the caller's pipe.  A Wine process started on the
# way (the desktop's explorer.exe, started by the first program that needs a
# desktop) inherits the output handles and outlives the test; if those were
# ctest's pipe, ctest would wait for it.
out=$(mktemp)
"$@" </dev/null >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit $status
