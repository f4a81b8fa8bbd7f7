#!/bin/bash
# Automatic switching on a real desktop, headless, on a private session bus: KDE's KWin
# (kwin_wayland --virtual) with the window loading its KWin script into it at start, or GNOME Shell
# (--headless) with the extension installed and enabled for the user. Windows of a plain Qt
# program with different app ids come to the front; the keyboard takes the profile of the rule
# that matches, and what it held before when no rule does. Skipped (77) where the desktop, Qt's
# Wayland platform or D-Bus are missing, or the desktop does not start here.
# Usage: desktop_follow_test.sh kde|gnome tessaron tessaronctl wayland_window packaging
set -u
desktop=$1
case $desktop in
  kde) shell=kwin_wayland ;;
  gnome) shell=gnome-shell ;;
  *) echo "usage: $0 kde|gnome tessaron tessaronctl wayland_window packaging" >&2; exit 2 ;;
esac
for tool in dbus-run-session dbus-update-activation-environment busctl gdbus $shell; do
  command -v "$tool" >/dev/null || { echo "skipped: needs $tool" >&2; exit 77; }
done
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  { echo "skipped: needs Qt's Wayland platform (qt6-wayland)" >&2; exit 77; }
if [ -z "${IN_PRIVATE_BUS:-}" ]; then
  export IN_PRIVATE_BUS=1
  exec dbus-run-session -- "$0" "$@"
fi

tessaron=$2 ctl=$3 client=$4 packaging=$5
work=$(mktemp -d)
shell_pid= system_bus= window= clients=()
trap 'kill $window "${clients[@]}" $shell_pid $system_bus 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config \
  XDG_DATA_HOME=$work/share
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# Services the bus starts (dconf above all) live in the test's folders too, never the user's.
dbus-update-activation-environment HOME XDG_RUNTIME_DIR XDG_CONFIG_HOME XDG_DATA_HOME
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
data=$work/data
mkdir -p "$data" && cp -r "$packaging/kwin" "$data/kwin"  # the data folder is the first asset folder
name=org.tessaron.tessaron path=/org/tessaron/tessaron iface=org.tessaron.tessaron.Keyboard1
fails=0
fail() { echo "FAIL: $*" >&2; fails=$((fails + 1)); }
prop() { busctl --user get-property $name $path $iface "$1"; }
ctl() { TESSARON_DEMO_TIME=stepped "$ctl" --demo --data-dir "$data" "$@"; }
until_true() {  # up to 20 s
  for _ in $(seq 100); do eval "$1" && return 0; sleep 0.2; done
  return 1
}

case $desktop in
  kde)
    # Debian's kwin_wayland carries a file capability, which a container may refuse to run; a
    # copy carries none and runs the same.
    cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
    # With an XWayland of its own, whose display the session program writes down.
    printf '#!/bin/sh\necho "$DISPLAY" >"%s"\nexec sleep 600\n' "$work/display" >"$work/session"
    chmod +x "$work/session"
    "$work/kwin_wayland" --virtual --xwayland --no-lockscreen --socket wayland-tessaron \
      --width 800 --height 600 --exit-with-session "$work/session" >"$work/shell.log" 2>&1 &
    shell_pid=$! shell_name=org.kde.KWin session=KDE
    ;;
  gnome)
    # The extension as a user installs and enables it; GNOME 45 and later take the module form.
    version=$(gnome-shell --version | grep -o '[0-9]*' | head -1)
    flavour=gnome-43; [ "$version" -ge 45 ] && flavour=gnome-45
    mkdir -p "$XDG_DATA_HOME/gnome-shell/extensions"
    cp -r "$packaging/gnome-shell/$flavour/follow@tessaron.org" "$XDG_DATA_HOME/gnome-shell/extensions/"
    gsettings set org.gnome.shell enabled-extensions "['follow@tessaron.org']" ||
      fail "the extension could not be enabled"
    # The shell asks logind on the system bus; a private bus of its own stands in for it.
    dbus-daemon --session --address="unix:path=$XDG_RUNTIME_DIR/system_bus" --nofork \
      >/dev/null 2>&1 &
    system_bus=$!
    # Unsafe mode lets the test close the overview the Shell starts in, as a user would.
    DBUS_SYSTEM_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/system_bus gnome-shell --headless \
      --unsafe-mode --wayland --no-x11 --wayland-display wayland-tessaron \
      --virtual-monitor 800x600 >"$work/shell.log" 2>&1 &
    shell_pid=$! shell_name=org.gnome.Shell session=GNOME
    ;;
esac
if ! until_true '[ -S "$XDG_RUNTIME_DIR/wayland-tessaron" ] &&
                busctl --user status $shell_name >/dev/null 2>&1'; then
  echo "skipped: $shell did not start here:" >&2
  tail -20 "$work/shell.log" >&2
  exit 77
fi
if [ $desktop = gnome ]; then
  shell_eval() {
    gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.gnome.Shell.Eval "$1"
  }
  # Once the start-up animation is over, or the overview opens again after it.
  until_true 'shell_eval "Main.layoutManager._startingUp" 2>/dev/null | grep -q "(true, .false.)"' ||
    fail "the Shell did not finish starting"
  until_true 'shell_eval "Main.overview.hide(); Main.overview.visible" 2>/dev/null |
              grep -q "(true, .false.)"' || fail "the overview did not close"
fi

# "Editor" has F6 as B; the keyboard starts with F6 as it came.
ctl assign F6 single B >/dev/null && ctl profile new >/dev/null &&
  ctl profile rename Profile_1 Editor >/dev/null && ctl profile save Editor >/dev/null ||
  fail "profile Editor"
ctl assign F6 default >/dev/null && ctl apply >/dev/null || fail "F6 back as it came"
ctl rules add --profile Editor class equals tessaron-test-editor >/dev/null &&
  ctl rules add --profile Editor command_line contains witcher3.exe >/dev/null || fail "rules add"

# F6's assignment in keymap.bin, as JSON ({} when it does what it came with).
f6_is() {
  ctl keys --json | python3 -c 'import json, sys
k = {e["legend"]: e for e in json.load(sys.stdin)}
sys.exit(k["F6"]["assignment"] != json.loads(sys.argv[1]))' "$1"
}

# The window in the desktop's session on Wayland; Qt itself stays offscreen.
XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=$session WAYLAND_DISPLAY=wayland-tessaron \
  QT_QPA_PLATFORM=offscreen "$tessaron" --demo --no-splash --hidden --data-dir "$data" \
  --instance "follow-$$" >"$work/window.log" 2>&1 &
window=$!
until_true 'prop Connected 2>/dev/null | grep -q true' || fail "the window is not on the bus"
XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=$session WAYLAND_DISPLAY=wayland-tessaron \
  ctl rules list >"$work/rules.txt" 2>&1
grep -qi "$session" "$work/rules.txt" || fail "rules list names no $session watcher: $(cat "$work/rules.txt")"
# The extension is enabled: nothing to advise.
[ $desktop = gnome ] && grep -q "follow@tessaron.org" "$work/rules.txt" &&
  fail "rules list advises on an enabled extension: $(cat "$work/rules.txt")"

# A new window comes to the front.
window_of() {
  QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-tessaron "$client" "$1" "$1 window" \
    >>"$work/client.log" 2>&1 &
  clients+=($!)
}
window_of tessaron-test-editor
until_true '[ "$(prop ActiveWindowClass)" = "s \"tessaron-test-editor\"" ]' ||
  fail "the $session script did not report the editor: $(prop ActiveWindowClass)"
until_true '[ "$(prop LoadedProfile)" = "s \"Editor\"" ]' ||
  fail "the editor in front did not load Editor: $(prop LoadedProfile)"
until_true 'f6_is "{\"single\": \"B\"}"' || fail "Editor's F6 did not reach keymap.bin"
until_true '[ "$(prop UnsavedChanges)" = "b false" ]' || fail "Editor did not reach the keyboard"

# Another window without a rule: the profile from before the first switch comes back.
window_of tessaron-test-other
until_true '[ "$(prop ActiveWindowClass)" = "s \"tessaron-test-other\"" ]' ||
  fail "the $session script did not report the other window: $(prop ActiveWindowClass)"
until_true 'f6_is "{}"' || fail "the other window in front did not bring F6 back"
until_true '[ "$(prop UnsavedChanges)" = "b false" ]' || fail "F6 as it came did not reach the keyboard"

# On KDE, an X client on KWin's XWayland, as a Wine game is: matched by its command line, which
# the window reads from /proc through the process KWin reports.
if [ $desktop = kde ]; then
  until_true '[ -s "$work/display" ]' || fail "KWin's XWayland did not start"
  QT_QPA_PLATFORM=xcb DISPLAY=$(cat "$work/display") "$client" tessaron-test-game "The Game" \
    'Z:\Games\witcher3.exe' >>"$work/client.log" 2>&1 &
  clients+=($!)
  until_true '[ "$(prop ActiveWindowTitle)" = "s \"The Game\"" ]' ||
    fail "KWin's script did not report the X client: $(prop ActiveWindowTitle)"
  [ "$(prop ActiveWindowPid)" = "u ${clients[-1]}" ] ||
    fail "the X client's process was not reported: $(prop ActiveWindowPid), not ${clients[-1]}"
  until_true 'f6_is "{\"single\": \"B\"}"' || fail "the game's command line did not load Editor"
fi

# The window unloads its KWin script when it ends: KWin keeps no script of it.
kill $window
wait $window
window=
if [ $desktop = kde ]; then
  loaded=$(gdbus call --session -d org.kde.KWin -o /Scripting \
    -m org.kde.kwin.Scripting.isScriptLoaded tessaron-follow 2>&1)
  [ "$loaded" = "(false,)" ] || fail "the KWin script stayed loaded after the window ended: $loaded"
fi

[ $fails -eq 0 ] || { cat "$work/window.log" >&2; tail -20 "$work/shell.log" >&2; exit 1; }
echo "all passed"
