#!/usr/bin/env bash
# Builds the Debian package from this build's install and checks it as a user gets it: its name,
# control fields and files, lintian, its maintainer scripts, and an install, upgrade and removal
# in a throwaway root, from which both programs run with an empty home folder.
#
# usage: deb_package_test.sh BUILD_DIR SOURCE_DIR VERSION EXPECTED_FILES LINTIAN_KEPT
# Exits 77 (skipped) with one line saying which tool is missing.
set -u
build=$1 source=$2 version=$3 expected=$4 kept=$5

skip() { echo "SKIP: $*"; exit 77; }
command -v dpkg-deb >/dev/null || skip "dpkg-deb is not installed (Debian package dpkg)"
command -v dpkg-shlibdeps >/dev/null || skip "dpkg-shlibdeps is not installed (Debian package dpkg-dev)"

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaron-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "Debian package tessaron $version: all checks passed"
    exit 0
}

# The package, named as Debian names it.
if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
deb=$work/out/tessaron_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$work/out" >&2; echo "FAIL: no $(basename "$deb")" >&2; exit 1; }

# Control fields: the version, and dependencies that dpkg-shlibdeps found with their versions.
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version is $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for library in 'libc6 (>= ' libqt6widgets6 libhidapi-hidraw0 libudev1; do
    grep -qF "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

# Every file in its place and nothing else; the images are those the build made.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./||' | sort >"$work/files"
grep -v '^usr/share/tessaron/png/' "$work/files" >"$work/files-but-images"
grep -Ev '^(#|$)' "$expected" | sort | diff -u - "$work/files-but-images" >&2 ||
    fail "the package's files (+) differ from $expected (-)"
(cd "$build/share/tessaron" && find png -type f | sed 's|^|usr/share/tessaron/|' | sort) |
    diff -u - <(grep '^usr/share/tessaron/png/' "$work/files") >&2 ||
    fail "the package's images (+) differ from the build's (-)"

if command -v lintian >/dev/null; then
    # Only the warnings kept on purpose (listed with their reasons in the README) may show.
    lintian --fail-on error,warning --suppress-tags-from-file "$kept" "$deb" >"$work/lintian.log" 2>&1 ||
        fail "lintian: $(cat "$work/lintian.log")"
else
    echo "SKIP: lintian is not installed (Debian package lintian); the package was not linted"
fi

# The maintainer scripts call udev only where it runs: a stand-in udevadm records the calls.
dpkg-deb -e "$deb" "$work/control"
mkdir -p "$work/bin"
cat >"$work/bin/udevadm" <<'EOF'
#!/bin/sh
echo "$*" >>"$UDEVADM_LOG"
[ "$1" != control ] || exit "${UDEVADM_CONTROL_STATUS:-0}"
EOF
chmod +x "$work/bin/udevadm"
export UDEVADM_LOG=$work/udevadm.log
# usage: script_calls EXPECTED_CALLS SCRIPT ARGUMENT [VAR=VALUE...]
script_calls() {
    local want=$1 script=$2 argument=$3
    shift 3
    : >"$UDEVADM_LOG"
    [ -x "$work/control/$script" ] || { fail "$script is missing or not executable"; return; }
    env PATH="$work/bin:/usr/bin:/bin" DPKG_ROOT= "$@" "$work/control/$script" "$argument" ||
        fail "$script $argument $* failed"
    [ "$(cat "$UDEVADM_LOG")" = "$want" ] ||
        fail "$script $argument $* called udevadm with \"$(cat "$UDEVADM_LOG")\", not \"$want\""
}
reload='control --reload-rules'
script_calls "$reload"$'\n''trigger --subsystem-match=hidraw --action=add' postinst configure
script_calls "$reload" postinst configure UDEVADM_CONTROL_STATUS=1  # no udev: nothing to trigger
script_calls '' postinst configure DPKG_ROOT=/somewhere/else
script_calls "$reload"$'\n''trigger --subsystem-match=hidraw --action=change' postrm remove
script_calls '' postrm upgrade

# Install, upgrade (the same package again) and removal in a throwaway root. The scripts run
# outside it with DPKG_ROOT set; the stand-in udevadm stays first on the PATH so that a script
# that ignored DPKG_ROOT would show, and not reach this computer's udev.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
# A user's data folder, which no step may touch.
data=$root/home/user/.local/share/tessaron
mkdir -p "$data/Configure"
head -c 4096 /dev/urandom >"$data/keymap.bin"
echo profile >"$data/Configure/Gaming.cfg"
(cd "$data" && find . -type f -exec md5sum {} + | sort) >"$work/data.md5"
dpkg_root() {
    : >"$UDEVADM_LOG"
    PATH="$work/bin:$PATH" dpkg --root="$root" --log="$work/dpkg.log" --force-not-root \
        --force-script-chrootless --force-depends "$@" >>"$work/dpkg-out.log" 2>&1 ||
        fail "dpkg $*: $(cat "$work/dpkg-out.log")"
    [ ! -s "$UDEVADM_LOG" ] || fail "dpkg $* in another root called udevadm: $(cat "$UDEVADM_LOG")"
    (cd "$data" && find . -type f -exec md5sum {} + | sort) | cmp -s - "$work/data.md5" ||
        fail "dpkg $* changed the user's data folder"
}
dpkg_root --install "$deb"
dpkg_root --install "$deb"
cmp -s "$root/usr/lib/udev/rules.d/60-tessaron.rules" "$source/packaging/60-tessaron.rules" ||
    fail "the installed udev rule is not packaging/60-tessaron.rules"
# The AppStream file finds its desktop entry and icon where software centres look.
if command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --no-net --pedantic "$root" >"$work/as.log" 2>&1 ||
        fail "appstreamcli rejects the installed tree: $(cat "$work/as.log")"
else
    echo "SKIP: appstreamcli is not installed (Debian package appstream); the tree was not validated"
fi

# Both programs run from the root with an empty home folder and nothing of this environment.
home=$work/home
mkdir -p "$home"
run_clean() {
    (cd "$work" && exec env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@")
}
for program in tessaron tessaronctl; do
    out=$(run_clean "$root/usr/bin/$program" --version 2>&1)
    [ "$out" = "$program (Tessaron) $version" ] || fail "$program --version printed \"$out\""
done
out=$(run_clean "$root/usr/bin/tessaronctl" --demo show 2>&1)
grep -q '^Firmware version: 1\.5$' <<<"$out" || fail "tessaronctl --demo show printed: $out"
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    # Waits up to 30 s for a window of the program to map, then ends it.
    "$(dirname "$0")/../support/xvfb_session.sh" 1280x1024x24 bash -c '
        cd "$1" && env -i HOME="$2" PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$DISPLAY" \
            "$3" --demo --no-splash --instance "deb-test-$$" >"$1/app.log" 2>&1 &
        app=$!
        for _ in $(seq 1 300); do
            if xdotool search --onlyvisible --class tessaron >/dev/null 2>&1; then
                kill "$app"; wait "$app"; exit 0
            fi
            kill -0 "$app" 2>/dev/null || break
            sleep 0.1
        done
        kill "$app" 2>/dev/null; cat "$1/app.log" >&2; exit 1' \
        sh "$work" "$home" "$root/usr/bin/tessaron" ||
        fail "the installed tessaron --demo mapped no window"
else
    echo "SKIP: Xvfb or xdotool is missing (Debian packages xvfb, xdotool); tessaron --demo was not started"
fi

# Removal takes every file of the package away; purge leaves nothing of it.
dpkg_root --remove tessaron
[ ! -e "$root/usr/bin/tessaron" ] || fail "tessaron is still there after removal"
[ ! -e "$root/usr/lib/udev/rules.d/60-tessaron.rules" ] || fail "the udev rule is still there after removal"
dpkg_root --purge tessaron
left=$(find "$root/usr" -type f 2>/dev/null)
[ -z "$left" ] || fail "files left after purge: $left"

finish
