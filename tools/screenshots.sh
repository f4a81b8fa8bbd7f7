#!/usr/bin/env bash
# Takes the README's screenshots of every window from the program itself, so they stay current:
# runs `tessaron --demo` on a private X server (Xvfb) with a fresh home folder, opens each
# window by clicking where a user would, and saves docs/screenshots/*.png.
#
# usage: tools/screenshots.sh [BUILD_DIR]   (default: build; needs xvfb, xdotool, imagemagick)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
out=$here/docs/screenshots
program=$build/src/app/tessaron
ctl=$build/src/cli/tessaronctl

if [ -z "${TESSARON_SCREENSHOT_DISPLAY:-}" ]; then
    for tool in Xvfb xdotool import; do
        command -v "$tool" >/dev/null || {
            echo "screenshots: $tool is missing (Debian packages xvfb, xdotool, imagemagick)" >&2
            exit 1
        }
    done
    for p in "$program" "$ctl"; do
        [ -x "$p" ] || { echo "screenshots: build $p first" >&2; exit 1; }
    done
    # Run again inside a private X server of a fixed size and depth.
    # Large enough for the window at scale 2 (2000 x 1290).
    exec "$here/tests/support/xvfb_session.sh" 2048x1344x24 env TESSARON_SCREENSHOT_DISPLAY=1 "$0" "$build"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaron-screenshots.XXXXXX")
app_pid=
stop_app() {
    if [ -n "$app_pid" ]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    app_pid=
}
trap 'stop_app; rm -rf "$work"' EXIT
mkdir -p "$out" "$work/home"

# Starts the program on the virtual keyboard with a fresh home (and so a fresh data folder that
# later starts share), waits for its window and for the keyboard to be read.
window=
start_app() {
    stop_app
    HOME=$work/home XDG_CONFIG_HOME= XDG_DATA_HOME= TESSARON_DATA_DIR= \
        "$program" --demo --instance "screenshots-$$" "$@" >>"$work/app.log" 2>&1 &
    app_pid=$!
    window=$(xdotool search --sync --onlyvisible --name 'VantorOrvik' | head -n 1)
    xdotool windowmove "$window" 0 0
    sleep 1.5
}

# Clicks at a point of the main window.
click() {
    xdotool mousemove --window "$window" "$1" "$2" click "${3:-1}"
    sleep 0.8
}

# Saves the main window's area of the screen: open pages lie over it.
shot() {
    local geometry
    geometry=$(xdotool getwindowgeometry --shell "$window")
    local WIDTH HEIGHT X Y
    eval "$(echo "$geometry" | grep -E '^(WIDTH|HEIGHT|X|Y)=')"
    xdotool mousemove 2040 1336  # no hover marks
    sleep 0.3
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1.png"
    echo "screenshots: $1.png"
}

# Something to show: a macro, a reassigned key, a key running the macro, two profiles.
ctl() { HOME=$work/home XDG_CONFIG_HOME= XDG_DATA_HOME= TESSARON_DATA_DIR= "$ctl" --demo "$@" >/dev/null; }
printf 'name: Greeting\nH dn\n80 ms\nH up\n60 ms\nI dn\n70 ms\nI up\n' >"$work/greeting.txt"
ctl macro import "$work/greeting.txt"
ctl assign "Caps Lock" single A
ctl assign F5 macro 0
ctl apply
ctl profile new
ctl profile rename Profile_1 Gaming
ctl profile new
ctl profile rename Profile_1 Work

# The splash window shows while the program starts.
HOME=$work/home "$program" --demo --instance "screenshots-splash-$$" >>"$work/app.log" 2>&1 &
app_pid=$!
# It is the program's first window and stays about a second.
splash=$(xdotool search --sync --onlyvisible --class tessaron | head -n 1)
sleep 0.2
import -window "$splash" "$out/splash.png" && echo "screenshots: splash.png"
stop_app

start_app --no-splash
shot main-window
click 600 60 3 # the window's menu: About
xdotool key Down Return
sleep 0.8
shot about
start_app --no-splash
click 944 12 # the help button
shot help-menu
start_app --no-splash
click 100 121 # the Light section
shot lighting
click 100 165 # its effect list
shot effect-list
start_app --no-splash
click 100 198 # Game Mode, then Response Time and USB Report Rate below it
click 100 258
click 100 335
shot performance
start_app --no-splash
click 371 306 # Caps Lock on the keyboard picture
shot key-page
page=$(xdotool search --onlyvisible --name 'Key Settings' | head -n 1)
for tab in 120:macro 200:basic 280:advance; do
    xdotool mousemove --window "$page" "${tab%%:*}" 44 click 1
    sleep 0.8
    shot "key-page-${tab##*:}"
done
start_app --no-splash
click 100 163 # Macro Management
manager=$(xdotool search --onlyvisible --name 'Macro Manager' | head -n 1)
xdotool mousemove --window "$manager" 60 90 click 1 # the first macro
sleep 0.8
shot macro-manager
start_app --no-splash
click 50 620 # Profile
shot profiles
start_app --no-splash
click 830 620 # Return: the factory reset question, a standard message box in the dark style
xdotool search --sync --onlyvisible --name 'Factory Setting' >/dev/null
sleep 0.5
shot message-box
start_app --no-splash
ctl unplug # the keyboard's cable pulled: the window says so at once
sleep 1.5
shot unplugged
ctl plug
# At scale 2 (a 4K screen at 200 %) the window is drawn from the @2x images.
QT_SCALE_FACTOR=2 start_app --no-splash
click 200 242 # the Light section, in screen pixels
shot main-window-scale2
start_app --no-splash --lang chinese
shot main-window-chinese
click 100 163
shot macro-manager-chinese
stop_app
