#!/usr/bin/env bash
# The manual pages render without a warning at 80 columns, and tessaronctl(1) describes every
# command the program has.
#
# usage: verify_man_pages.sh MAN1_DIR TESSARONCTL
set -u
dir=$1 program=$2
command -v man >/dev/null || { echo "FAIL: man is not installed (Debian package man-db)" >&2; exit 1; }
failures=0
for page in "$dir"/tessaron.1 "$dir"/tessaronctl.1; do
    [ -s "$page" ] || { echo "FAIL: $page is missing" >&2; failures=$((failures + 1)); continue; }
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "FAIL: $page renders with warnings:" >&2
        echo "$warnings" >&2
        failures=$((failures + 1))
    fi
done
commands=$("$program" names commands) || { echo "FAIL: $program names commands failed" >&2; exit 1; }
[ -n "$commands" ] || { echo "FAIL: $program names no commands" >&2; exit 1; }
# A command is described where a tag line starts with it in bold.
rendered=$(MANWIDTH=200 man -l "$dir/tessaronctl.1" 2>/dev/null)
for name in $commands; do
    grep -Eq "^       $name( |$)" <<<"$rendered" || {
        echo "FAIL: tessaronctl(1) does not describe the command \"$name\"" >&2
        failures=$((failures + 1))
    }
done
[ "$failures" -eq 0 ] || exit 1
echo "manual pages: no warnings, every command described"
