#!/bin/sh
# Runs a command on a private Xvfb display and stops the server after it. Xvfb picks a free
# display itself and reports it on a descriptor once it accepts clients (-displayfd), so tests
# run side by side never take the same number, as `xvfb-run -a` can.
# Usage: xvfb_session.sh WIDTHxHEIGHTxDEPTH command [args...]
set -u
[ $# -ge 2 ] || { echo "usage: $0 WIDTHxHEIGHTxDEPTH command [args...]" >&2; exit 2; }
screen=$1
shift
command -v Xvfb >/dev/null || { echo "Xvfb is missing: install the Debian package xvfb" >&2; exit 1; }
dir=$(mktemp -d "${TMPDIR:-/tmp}/xvfb-session.XXXXXX") || exit 1
mkfifo "$dir/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 "$screen" 3>"$dir/display" >"$dir/log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$dir"' EXIT
trap 'exit 143' TERM INT HUP
# Empty when the server died before it was ready (end of file) or hung.
number=$(timeout 20 head -n 1 "$dir/display")
if [ -z "$number" ]; then
    echo "Xvfb did not start:" >&2
    cat "$dir/log" >&2
    exit 1
fi
DISPLAY=":$number" "$@"
