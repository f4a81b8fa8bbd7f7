#!/usr/bin/env bash
# Installs the build into a fresh temporary prefix and checks the tree: every file in its place,
# the installed programs finding libtholwin through their own RPATH, the installed validators'
# view of the desktop files, and the installed programs running with an empty home folder.
#
# usage: install_tree_test.sh BUILD_DIR PRIVATE_LIBDIR UDEV_RULES_DIR METAINFO_FILE GUI(ON|OFF)
set -u
build=$1 libdir=$2 udevdir=$3 metainfo=$4 gui=$5
desktop_entry=share/applications/${metainfo%.metainfo.xml}.desktop

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaron-install.XXXXXX")
app_pid=
cleanup() {
    if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT
prefix=$work/prefix
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
need() { [ -s "$prefix/$1" ] || fail "missing or empty in the prefix: $1"; }
tool() { command -v "$1" >/dev/null || { echo "FAIL: $1 is not installed ($2)" >&2; exit 1; }; }
tool desktop-file-validate "Debian package desktop-file-utils"
tool appstreamcli "Debian package appstream"
tool readelf "Debian package binutils"
tool man "Debian package man-db"

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "FAIL: cmake --install failed" >&2
    exit 1
fi

# Every file in its place.
need bin/tessaronctl
need share/tessaron/VER.bin
need share/tessaron/help/index.html
need share/tessaron/help/index.zh.html
need "$udevdir/60-tessaron.rules"
need "$desktop_entry"
need share/tessaron/autostart/tessaron.desktop
need "share/metainfo/$metainfo"
need share/man/man1/tessaronctl.1.gz
need share/bash-completion/completions/tessaronctl
need share/tessaron/kwin/tessaron-follow/contents/code/main.js
need share/tessaron/kwin/tessaron-follow/metadata.json
for gnome in gnome-43 gnome-45; do
    need "share/tessaron/gnome-shell/$gnome/follow@tessaron.org/extension.js"
    need "share/tessaron/gnome-shell/$gnome/follow@tessaron.org/metadata.json"
done
[ "$(stat -c %s "$prefix/share/tessaron/VER.bin" 2>/dev/null)" = 12 ] || fail "VER.bin is not 12 bytes"
programs=("$prefix/bin/tessaronctl")
if [ "$gui" = ON ]; then
    need bin/tessaron
    need share/man/man1/tessaron.1.gz
    need share/dbus-1/interfaces/org.tessaron.tessaron.Keyboard1.xml
    programs+=("$prefix/bin/tessaron")
    ls "$prefix/$libdir"/libtholwin.so.* >/dev/null 2>&1 || fail "libtholwin missing from $libdir"
    for lang in english chinese; do
        for image in main.png Config/Config.png Custom/Custom_BK.png \
            MacroManagement/MacroManagement.png; do
            need "share/tessaron/png/$lang/$image"
        done
    done
    diff -rq "$build/share/tessaron/png" "$prefix/share/tessaron/png" >&2 ||
        fail "the installed images differ from the generated ones"
    for size in 16 22 24 32 48 64 128 256 512; do
        need "share/icons/hicolor/${size}x${size}/apps/tessaron.png"
    done
fi

# The programs find libtholwin in the prefix, not in the build tree, and need nothing else
# that is missing.
for program in "${programs[@]}"; do
    [ -x "$program" ] || continue
    readelf -d "$program" | grep -Eq '(RUNPATH|RPATH).*\$ORIGIN/' ||
        fail "$program has no \$ORIGIN-relative RPATH"
    readelf -d "$program" | grep -E '(RUNPATH|RPATH)' | grep -q "$build" &&
        fail "$program still points into the build tree"
    if ldd "$program" | grep -q 'not found'; then
        ldd "$program" | grep 'not found' >&2
        fail "$program has unresolved libraries"
    fi
    if ldd "$program" | grep -q libtholwin; then
        ldd "$program" | grep libtholwin | grep -q "=> $prefix/" ||
            fail "$program loads libtholwin from outside the prefix"
    fi
done

# The installed desktop files validate.
for entry in "$desktop_entry" share/tessaron/autostart/tessaron.desktop; do
    desktop-file-validate "$prefix/$entry" || fail "desktop-file-validate rejects $entry"
done
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$metainfo" >"$work/as.log" 2>&1 || {
    cat "$work/as.log" >&2
    fail "appstreamcli rejects the installed metainfo"
}

# The installed programs run from the prefix with a fresh home folder and no other settings.
home=$work/home
mkdir -p "$home"
# Runs a command in the work folder with nothing of this environment but the sanitizer options.
run_clean() {
    (cd "$work" && exec env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" "$@")
}
if run_clean "$prefix/bin/tessaronctl" --demo show >"$work/show.txt" 2>&1; then
    grep -q '^Firmware version: 1\.5$' "$work/show.txt" ||
        fail "tessaronctl --demo show printed: $(cat "$work/show.txt")"
else
    fail "installed tessaronctl --demo show failed: $(cat "$work/show.txt")"
fi
data=$home/.local/share/tessaron
[ -d "$data" ] || fail "tessaronctl made no data folder in the fresh home"

# The installed manual pages render, and the installed completion answers with the installed
# program on the PATH.
for page in "$prefix"/share/man/man1/*.1.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page renders with warnings: $warnings"
done
completed=$(run_clean bash -c 'PATH=$1/bin:$PATH; source "$1/share/bash-completion/completions/tessaronctl"
    COMP_WORDS=(tessaronctl light "Running\\ W"); COMP_CWORD=2; _tessaronctl; echo "${COMPREPLY[*]}"' \
    sh "$prefix" 2>&1)
[ "$completed" = 'Running\ Water\ Run\ Mode' ] ||
    fail "the installed completion offered \"$completed\" for tessaronctl light Running\\ W"

if [ "$gui" = ON ]; then
    # Started directly (not through a function) so that $! is the program itself.
    (cd "$work" && exec env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
        QT_QPA_PLATFORM=offscreen TESSARON_REPORT_FIRST_PAINT=1 "$prefix/bin/tessaron" --demo \
        --no-splash --instance "tessaron-install-test-$$") >"$work/app.log" 2>&1 &
    app_pid=$!
    # The window writes keymap.bin when it has read the virtual keyboard.
    for _ in $(seq 1 300); do
        [ -s "$data/keymap.bin" ] && [ -s "$data/MacroDefine.bin" ] && break
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$app_pid" 2>/dev/null; then
        [ "$(stat -c %s "$data/keymap.bin" 2>/dev/null)" = 206916 ] ||
            fail "the installed tessaron --demo wrote no keymap.bin"
        [ "$(stat -c %s "$data/MacroDefine.bin" 2>/dev/null)" = 169860 ] ||
            fail "the installed tessaron --demo wrote no MacroDefine.bin"
        # What `make bench` times the start by.
        grep -qx 'first paint' "$work/app.log" ||
            fail "the installed tessaron reported no first paint: $(cat "$work/app.log")"
    else
        wait "$app_pid"
        fail "the installed tessaron --demo ended at once (status $?): $(cat "$work/app.log")"
    fi
    kill "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
    app_pid=
    # The window reads the demo's fault switches as tessaronctl does, and names a wrong one.
    if run_clean env QT_QPA_PLATFORM=offscreen TESSARON_DEMO_FAULTS=drop-acks,bogus \
        "$prefix/bin/tessaron" --demo --no-splash --instance "tessaron-install-test-f-$$" \
        >"$work/faults.log" 2>&1; then
        fail "the installed tessaron started with an unknown demo fault"
    fi
    grep -q 'Unknown demo fault "bogus"' "$work/faults.log" ||
        fail "the installed tessaron did not name the unknown demo fault: $(cat "$work/faults.log")"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; the prefix was $prefix" >&2
    exit 1
fi
echo "install tree in $prefix: all checks passed"
