#!/bin/sh
# Starts `tessaron --demo` on its own X server and session bus with the accessibility bus up,
# and walks it with atspi_walk.py. Exits 77 (skipped) when the screen-reader stack is missing.
# Usage: atspi_walk.sh path/to/tessaron
set -u
tessaron=$1
here=$(dirname "$0")
launcher=
for l in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
  [ -x "$l" ] && launcher=$l && break
done
# Debian's pyatspi is built for the system's Python, which another python3 on PATH may hide.
python=
for p in /usr/bin/python3 python3; do
  "$p" -c 'import pyatspi' 2>/dev/null && python=$p && break
done
if [ -z "$launcher" ] || [ -z "$python" ] || ! command -v dbus-run-session >/dev/null \
   || ! command -v Xvfb >/dev/null; then
  echo "skipped: needs at-spi2-core, dbus, xvfb and python3-pyatspi" >&2
  exit 77
fi
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
exec "$here/../support/xvfb_session.sh" 1280x800x24 dbus-run-session -- sh -c '
  "$1" --launch-immediately & bus=$!
  sleep 1
  QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 \
    "$2" --demo --data-dir "$3" --lang english --instance "atspi-walk-$$" & app=$!
  "$5" "$4/atspi_walk.py"; rc=$?
  kill $app $bus 2>/dev/null
  wait $app 2>/dev/null
  exit $rc' sh "$launcher" "$tessaron" "$data" "$here" "$python"
