#!/usr/bin/env bash
# Runs the screenshot program as scripts/screenshots.sh does, into a
# temporary folder, and checks what it wrote: two PNG pictures, of windows
# of a sensible size, not the same picture twice.
#
#   check-screenshots.sh ZELTRAK_SCREENSHOTS DEMO_DATABASE
set -uo pipefail
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
"${1:?screenshot program}" "${2:?demo database}" "$out" || { echo "FAIL: the program failed"; exit 1; }
failures=0
for name in main learning; do
    picture="$out/$name.png"
    description="$(file -b "$picture" 2>/dev/null)"
    if [[ "$description" =~ ^PNG\ image\ data,\ ([0-9]+)\ x\ ([0-9]+) ]] &&
        [ "${BASH_REMATCH[1]}" -ge 400 ] && [ "${BASH_REMATCH[2]}" -ge 300 ]; then
        echo "$name.png: $description"
    else
        echo "FAIL: $name.png is '$description'"
        failures=$((failures + 1))
    fi
done
if cmp -s "$out/main.png" "$out/learning.png"; then
    echo "FAIL: both screenshots are the same picture"
    failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "PASSED: both screenshots written"
exit "$failures"
