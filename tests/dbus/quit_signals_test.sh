#!/bin/bash
# SIGTERM, SIGINT and SIGHUP end the window as its Exit does: the KWin script it loaded into a
# stand-in of KWin is unloaded, its bus name and the keyboard's lock are given back, status 0.
# Usage: quit_signals_test.sh tessaron tessaronctl fake_kwin packaging/kwin
set -u
for tool in dbus-run-session busctl; do
  command -v "$tool" >/dev/null || { echo "skipped: needs $tool" >&2; exit 77; }
done
if [ -z "${IN_PRIVATE_BUS:-}" ]; then
  export IN_PRIVATE_BUS=1
  exec dbus-run-session -- "$0" "$@"
fi

tessaron=$1 ctl=$2 fake_kwin=$3 kwin=$4
work=$(mktemp -d)
trap 'kill $window $desktop 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen HOME=$work/home XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work/config
# A Plasma session on Wayland as the window sees it; Qt itself stays offscreen.
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE WAYLAND_DISPLAY=no-compositor-here
mkdir -p "$HOME"
data=$work/data
mkdir -p "$data" && cp -r "$kwin" "$data/kwin"  # the data folder is the first asset folder
window= desktop=
fails=0
fail() { echo "FAIL: $*" >&2; fails=$((fails + 1)); }
until_true() {  # up to 10 s
  for _ in $(seq 50); do eval "$1" && return 0; sleep 0.2; done
  return 1
}

"$fake_kwin" >"$work/kwin.log" & desktop=$!
until_true 'busctl --user status org.kde.KWin >/dev/null 2>&1' || fail "the stand-in of KWin did not start"

for signal in TERM INT HUP; do
  : >"$work/kwin.log"
  "$tessaron" --demo --no-splash --hidden --data-dir "$data" --instance "quit-$$" \
    >"$work/window.log" 2>&1 &
  window=$!
  until_true 'grep -q "^run /Scripting/Script1" "$work/kwin.log"' ||
    { fail "$signal: the KWin script was not loaded and run: $(cat "$work/kwin.log")"; break; }
  until_true 'busctl --user status org.tessaron.tessaron >/dev/null 2>&1' ||
    fail "$signal: the window is not on the bus"
  kill -$signal $window
  wait $window
  status=$?
  window=
  [ $status = 0 ] || fail "$signal: the window ended with status $status"
  # Unloaded once at the load (a script left over) and once at the end.
  [ "$(grep -c '^unloadScript' "$work/kwin.log")" = 2 ] ||
    fail "$signal: the KWin script was not unloaded: $(cat "$work/kwin.log")"
  busctl --user status org.tessaron.tessaron >/dev/null 2>&1 && fail "$signal: the bus name is kept"
  # The keyboard's lock is free: tessaronctl opens the keyboard itself at once.
  timeout 10 "$ctl" --demo --data-dir "$data" show >/dev/null 2>&1 ||
    fail "$signal: tessaronctl could not open the keyboard after the window ended"
done

[ $fails -eq 0 ] || { cat "$work/window.log" >&2; exit 1; }
echo "all passed"
