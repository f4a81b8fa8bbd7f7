#!/bin/bash
# The window's service against the virtual keyboard, each on its own session bus: the interface
# as the repository describes it, properties, methods, signals and errors, tessaronctl asking the
# window, and 20 scripted changes at once with and without the window.
# Usage: dbus_service_test.sh path/to/tessaron path/to/tessaronctl path/to/Keyboard1.xml
set -u
for tool in dbus-run-session gdbus busctl python3; do
  command -v "$tool" >/dev/null || { echo "skipped: needs $tool" >&2; exit 77; }
done
if [ -z "${IN_PRIVATE_BUS:-}" ]; then
  export IN_PRIVATE_BUS=1
  exec dbus-run-session -- "$0" "$@"
fi

tessaron=$1 ctl=$2 xml=$3
work=$(mktemp -d)
trap 'kill $window $monitor 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen HOME=$work/home XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work/config
mkdir -p "$HOME"
data=$work/data
name=org.tessaron.tessaron path=/org/tessaron/tessaron iface=org.tessaron.tessaron.Keyboard1
window= monitor=
fails=0
fail() { echo "FAIL: $*" >&2; fails=$((fails + 1)); }
# tessaronctl's own demo keyboard paces on its stepped time line (the window keeps real time).
ctl() { TESSARON_DEMO_TIME=stepped "$ctl" --demo --data-dir "$data" "$@"; }
call() { gdbus call --session -d $name -o $path -m "$iface.$1" "${@:2}"; }
prop() { busctl --user get-property $name $path $iface "$1"; }
# Waits up to 10 s for a property to read as expected.
await() {
  for _ in $(seq 50); do [ "$(prop "$1" 2>/dev/null)" = "$2" ] && return 0; sleep 0.2; done
  fail "$1 is $(prop "$1" 2>&1), not $2"
}
start_window() {  # extra arguments go to the window
  "$tessaron" --demo --no-splash --hidden --data-dir "$data" --instance "dbus-test-$$" "$@" \
    >"$work/window.log" 2>&1 &
  window=$!
  for _ in $(seq 100); do busctl --user status $name >/dev/null 2>&1 && break; sleep 0.2; done
  await Connected "b true"
}
stop_window() { kill $window; wait $window 2>/dev/null; }
# The cells of the 20 keys as keymap.bin holds them and as the keyboard reports them.
twenty=(F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12 Q W E R T Y U I)
at_once() {  # the 20 assignments in parallel, waiting for them alone
  local pids=()
  for k in "${twenty[@]}"; do ctl assign "$k" single A --apply >"$work/out.$k" 2>&1 & pids+=($!); done
  wait "${pids[@]}"
}
check_agreement() {  # $1: what is being checked; $2: "all" when all 20 must be set
  ctl keys --json >"$work/keys.json" && ctl show --json >"$work/show.json" ||
    { fail "$1: keys or show failed"; return; }
  python3 - "$work/keys.json" "$work/show.json" "$2" "${twenty[@]}" <<'PY' || fail "$1"
import json, sys
keys = {k["legend"]: k for k in json.load(open(sys.argv[1]))}
board = {c["key"]: c["cell"] for c in json.load(open(sys.argv[2]))["changed_cells"] if c["key"]}
bad = []
for legend in sys.argv[4:]:
    key = keys[legend]
    if sys.argv[3] == "all" and key["assignment"] != {"single": "A"}:
        bad.append(f"{legend}: keymap.bin holds {key['assignment']}")
    in_file = key["cell"].replace(" ", "").lower() if key["modified"] else None
    if board.get(legend) != in_file:
        bad.append(f"{legend}: keymap.bin {in_file}, keyboard {board.get(legend)}")
if bad:
    print("\n".join(bad), file=sys.stderr)
    sys.exit(1)
PY
}

ctl pull >/dev/null || fail "pull"
at_once

# ---- 20 scripted changes at once without the window: one writer at a time, each change kept.
for k in "${twenty[@]}"; do grep -q "sending:" "$work/out.$k" || fail "no window, $k: $(cat "$work/out.$k")"; done
check_agreement "without the window" all
ctl reset --yes >/dev/null || fail "reset"

start_window
gdbus monitor --session -d $name >"$work/signals.log" 2>&1 & monitor=$!
sleep 0.5

# ---- The interface is the one the repository describes and installs.
busctl --user introspect $name $path $iface >"$work/introspect.txt" || fail "introspect"
python3 - "$xml" "$work/introspect.txt" <<'PY' || fail "the interface differs from $xml"
import sys, xml.etree.ElementTree as ET
iface = ET.parse(sys.argv[1]).getroot().find("interface")
described = {"." + e.get("name") for e in iface if e.tag in ("method", "property", "signal")}
served = {line.split()[0] for line in open(sys.argv[2]) if line.startswith(".")}
if described != served:
    print("only described:", described - served, "only served:", served - described, file=sys.stderr)
    sys.exit(1)
PY

# ---- Properties.
await FirmwareVersion 's "1.5"'
[ "$(prop Demo)" = "b true" ] || fail "Demo: $(prop Demo)"
[ "$(prop DataFolder)" = "s \"$data\"" ] || fail "DataFolder: $(prop DataFolder)"
[ "$(prop UnsavedChanges)" = "b false" ] || fail "UnsavedChanges after start: $(prop UnsavedChanges)"

# ---- tessaronctl asks the window (which holds the keyboard's lock: opening it would wait and
# fail). The change reaches the window's state, the keyboard and keymap.bin together.
out=$(ctl assign F5 single A --apply 2>&1) || fail "assign through the window: $out"
grep -q "sending: key assignments" <<<"$out" || fail "assign through the window sent nothing: $out"
check_agreement "after one change through the window" ""
[ "$(prop UnsavedChanges)" = "b false" ] || fail "the window kept the CLI's change unsaved"
sleep 0.5
grep -q "$iface.SettingsChanged ()" "$work/signals.log" || fail "no SettingsChanged signal"

# ---- Methods.
ctl assign F6 single B >/dev/null || fail "assign F6"
# Written to keymap.bin alone: the window takes it in, as a change the keyboard lacks.
await UnsavedChanges "b true"
ctl profile new >/dev/null && ctl profile rename Profile_1 Gaming >/dev/null &&
  ctl profile save Gaming >/dev/null || fail "profile save"
ctl profile new >/dev/null || fail "profile new"
# A profile would replace the window's unsaved change: refused, saying so, nothing loaded.
call LoadProfile Gaming 2>&1 | grep -q "Error.UnsavedChanges.*not yet saved" ||
  fail "LoadProfile replaced unsaved changes"
[ "$(prop LoadedProfile)" = 's ""' ] || fail "refused LoadProfile loaded $(prop LoadedProfile)"
ctl assign F6 default --apply >/dev/null || fail "assign F6 default"
call LoadProfile Gaming | grep -q "key assignments" || fail "LoadProfile Gaming sent no keys"
await LoadedProfile 's "Gaming"'
ctl keys --json | python3 -c 'import json,sys; k={e["legend"]:e for e in json.load(sys.stdin)}; sys.exit(k["F6"]["assignment"] != {"single": "B"})' ||
  fail "the loaded profile did not reach keymap.bin"
sleep 0.5
grep -q "$iface.ProfileChanged ('Gaming',)" "$work/signals.log" || fail "no ProfileChanged signal"
[ "$(call Save)" = "(@as [],)" ] || fail "Save with nothing unsaved sent something"
call Read | grep -q "^(\[byte " || fail "Read answered no image"
call ReportActiveWindow /usr/bin/xterm XTerm "a title" 4242 >/dev/null || fail "ReportActiveWindow"
[ "$(prop ActiveWindowClass)" = 's "XTerm"' ] && [ "$(prop ActiveWindowPid)" = "u 4242" ] ||
  fail "the window in front was not kept"

# ---- Errors.
call LoadProfile Nowhere 2>&1 | grep -q "Error.UnknownProfile" || fail "unknown profile accepted"
call LoadProfile Profile_1 2>&1 | grep -q "Error.Failed.*holds no keyboard settings" ||
  fail "an empty profile was sent"
ctl unplug >/dev/null || fail "unplug"
await Connected "b false"
call Save 2>&1 | grep -q "Error.NoKeyboard" || fail "Save without a keyboard was not refused"
ctl apply >"$work/out" 2>&1 && fail "apply without a keyboard succeeded"
grep -q "tessaronctl:" "$work/out" || fail "apply without a keyboard said nothing"
ctl plug >/dev/null || fail "plug"
await Connected "b true"
grep -q "$iface.ConnectionChanged (false,)" "$work/signals.log" || fail "no ConnectionChanged signal"

# ---- 20 scripted changes at once through the window: each kept, the window, keymap.bin and
# the keyboard in agreement.
at_once
for k in "${twenty[@]}"; do grep -q "sending:\|already holds" "$work/out.$k" || fail "window, $k: $(cat "$work/out.$k")"; done
check_agreement "20 at once through the window" all
[ "$(prop UnsavedChanges)" = "b false" ] || fail "the window holds changes the keyboard lacks"

stop_window
# What the window sent is what the virtual keyboard keeps.
check_agreement "after the window closed" ""

# ---- A flood of calls on a slow keyboard: each is answered, in its turn or refused at once
# with the reason in the window's language; the window answers meanwhile and loses nothing.
ctl profile new >/dev/null && ctl assign F6 single C >/dev/null &&
  ctl profile save Profile_2 >/dev/null && ctl profile rename Profile_2 Other >/dev/null ||
  fail "profile Other"
ctl apply >/dev/null || fail "apply before the flood"  # the window starts with nothing unsaved
export TESSARON_DEMO_FAULTS=ack-delay=100
start_window --lang chinese
unset TESSARON_DEMO_FAULTS
pids=()
for i in $(seq 40); do
  profile=Gaming; [ $((i % 2)) = 0 ] && profile=Other
  call LoadProfile $profile >"$work/flood.$i" 2>&1 & pids+=($!)
done
sleep 0.5
# Answered while calls still wait: the window does not block on them.
prop Connected >/dev/null || fail "no property answered during the flood"
answered=$(find "$work" -name 'flood.*' -size +0 | wc -l)
[ "$answered" -lt 40 ] || fail "the property was answered only after the flood"
wait "${pids[@]}"
served=$(grep -l "^(" "$work"/flood.* | wc -l)
refused=$(grep -l "Error.Busy" "$work"/flood.* | wc -l)
[ $((served + refused)) = 40 ] || fail "flood: $served served, $refused refused, others: $(grep -L "^(\|Error.Busy" "$work"/flood.* | xargs cat)"
[ "$refused" -gt 0 ] || fail "a flood of 40 calls filled no queue"
grep -qh "个调用在等待键盘" "$work"/flood.* || fail "the refusal is not in the window's language"
await UnsavedChanges "b false"
check_agreement "after the flood" ""

# ---- A caller of another user never reaches the window: the session bus refuses it.
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  setpriv --reuid=65534 --regid=65534 --clear-groups \
    gdbus call --session -d $name -o $path -m "$iface.Save" >"$work/other" 2>&1 &&
    fail "a caller of another user was served: $(cat "$work/other")"
fi
stop_window

[ $fails -eq 0 ] || { cat "$work/window.log" >&2; exit 1; }
echo "all passed"
