#!/bin/bash
# Automatic switching on a real KWin: a virtual (headless) kwin_wayland on a private session bus,
# the window loading its KWin script into it at start, and windows of a plain Qt program with
# different app ids brought to the front; the keyboard takes the profile of the rule that matches,
# and the one from before when no rule does. Skipped (77) where kwin_wayland, Qt's Wayland
# platform or D-Bus are missing, or KWin does not start here.
# Usage: kwin_follow_test.sh tessaron tessaronctl wayland_window packaging/kwin
set -u
for tool in dbus-run-session busctl gdbus kwin_wayland; do
  command -v "$tool" >/dev/null || { echo "skipped: needs $tool" >&2; exit 77; }
done
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  { echo "skipped: needs Qt's Wayland platform (qt6-wayland)" >&2; exit 77; }
if [ -z "${IN_PRIVATE_BUS:-}" ]; then
  export IN_PRIVATE_BUS=1
  exec dbus-run-session -- "$0" "$@"
fi

tessaron=$1 ctl=$2 client=$3 kwin=$4
work=$(mktemp -d)
kwin_pid= window= clients=()
trap 'kill $window "${clients[@]}" $kwin_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
data=$work/data
mkdir -p "$data" && cp -r "$kwin" "$data/kwin"  # the data folder is the first asset folder
name=org.tessaron.tessaron path=/org/tessaron/tessaron iface=org.tessaron.tessaron.Keyboard1
fails=0
fail() { echo "FAIL: $*" >&2; fails=$((fails + 1)); }
prop() { busctl --user get-property $name $path $iface "$1"; }
ctl() { TESSARON_DEMO_TIME=stepped "$ctl" --demo --data-dir "$data" "$@"; }
until_true() {  # up to 20 s
  for _ in $(seq 100); do eval "$1" && return 0; sleep 0.2; done
  return 1
}

# Debian's kwin_wayland carries a file capability, which a container may refuse to run; a copy
# carries none and runs the same.
cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
"$work/kwin_wayland" --virtual --no-lockscreen --socket wayland-tessaron --width 800 --height 600 \
  >"$work/kwin.log" 2>&1 &
kwin_pid=$!
if ! until_true '[ -S "$XDG_RUNTIME_DIR/wayland-tessaron" ] && busctl --user status org.kde.KWin >/dev/null 2>&1'; then
  echo "skipped: kwin_wayland --virtual did not start here:" >&2
  tail -20 "$work/kwin.log" >&2
  exit 77
fi

# "Editor" has F6 as B; the keyboard starts with F6 as it came.
ctl assign F6 single B >/dev/null && ctl profile new >/dev/null &&
  ctl profile rename Profile_1 Editor >/dev/null && ctl profile save Editor >/dev/null ||
  fail "profile Editor"
ctl assign F6 default >/dev/null && ctl apply >/dev/null || fail "F6 back as it came"
ctl rules add --profile Editor class equals tessaron-test-editor >/dev/null || fail "rules add"

# F6's assignment in keymap.bin, as JSON ({} when it does what it came with).
f6_is() {
  ctl keys --json | python3 -c 'import json, sys
k = {e["legend"]: e for e in json.load(sys.stdin)}
sys.exit(k["F6"]["assignment"] != json.loads(sys.argv[1]))' "$1"
}

# The window in a Plasma session on Wayland; Qt itself stays offscreen.
XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE WAYLAND_DISPLAY=wayland-tessaron \
  QT_QPA_PLATFORM=offscreen "$tessaron" --demo --no-splash --hidden --data-dir "$data" \
  --instance "kwin-$$" >"$work/window.log" 2>&1 &
window=$!
until_true 'prop Connected 2>/dev/null | grep -q true' || fail "the window is not on the bus"
XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE WAYLAND_DISPLAY=wayland-tessaron \
  ctl rules list >"$work/rules.txt" 2>&1
grep -qi "kwin" "$work/rules.txt" || fail "rules list names no KWin watcher: $(cat "$work/rules.txt")"

# A new window comes to the front in KWin.
window_of() {
  QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-tessaron "$client" "$1" "$1 window" \
    >>"$work/client.log" 2>&1 &
  clients+=($!)
}
window_of tessaron-test-editor
until_true '[ "$(prop ActiveWindowClass)" = "s \"tessaron-test-editor\"" ]' ||
  fail "KWin's script did not report the editor: $(prop ActiveWindowClass)"
until_true '[ "$(prop LoadedProfile)" = "s \"Editor\"" ]' ||
  fail "the editor in front did not load Editor: $(prop LoadedProfile)"
until_true 'f6_is "{\"single\": \"B\"}"' || fail "Editor's F6 did not reach keymap.bin"
until_true '[ "$(prop UnsavedChanges)" = "b false" ]' || fail "Editor did not reach the keyboard"

# Another window without a rule: the profile from before the first switch comes back.
window_of tessaron-test-other
until_true '[ "$(prop ActiveWindowClass)" = "s \"tessaron-test-other\"" ]' ||
  fail "KWin's script did not report the other window: $(prop ActiveWindowClass)"
until_true 'f6_is "{}"' || fail "the other window in front did not bring F6 back"
until_true '[ "$(prop UnsavedChanges)" = "b false" ]' || fail "F6 as it came did not reach the keyboard"

# The window unloads its script when it ends: KWin keeps no script of it.
kill $window
wait $window
window=
gdbus call --session -d org.kde.KWin -o /Scripting -m org.kde.kwin.Scripting.isScriptLoaded \
  tessaron-follow 2>&1 | grep -q false || fail "the KWin script stayed loaded after the window ended"

[ $fails -eq 0 ] || { cat "$work/window.log" >&2; tail -20 "$work/kwin.log" >&2; exit 1; }
echo "all passed"
