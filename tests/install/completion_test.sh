#!/usr/bin/env bash
# The bash completion of tessaronctl, sourced into a plain bash and asked as bash asks it
# (COMP_WORDS, COMP_CWORD, then the function): what it offers at each place of a command line.
#
# usage: completion_test.sh COMPLETION_FILE TESSARONCTL_FOLDER
set -u
completion=$1
PATH=$2:$PATH
# shellcheck source=/dev/null
source "$completion" || { echo "FAIL: $completion does not source" >&2; exit 1; }
complete -p tessaronctl >/dev/null 2>&1 || { echo "FAIL: no completion for tessaronctl" >&2; exit 1; }
failures=0

# compopt works only while bash itself completes; here it notes the options asked for. Bash
# quotes file names and ends folders with / (no space) when "filenames" is asked for.
compopt() { options+=" $*"; }

# offers "WORDS..." -- "EXPECTED": the words offered, one line each, joined by "|"; file names
# are followed by "(as file names)" when the shell is asked to treat them so.
offers() {
    local -a words=()
    while [ "$1" != -- ]; do words+=("$1"); shift; done
    local expected=$2
    COMP_WORDS=(tessaronctl "${words[@]}")
    COMP_CWORD=${#words[@]}
    COMPREPLY=()
    options=
    _tessaronctl
    local got
    got=$(IFS='|'; echo "${COMPREPLY[*]}")
    [[ $options == *"-o filenames"* ]] && got+=" (as file names)"
    if [ "$got" != "$expected" ]; then
        echo "FAIL: tessaronctl ${words[*]}<TAB> offers \"$got\", expected \"$expected\"" >&2
        failures=$((failures + 1))
    fi
}

offers li -- "light"
offers d -- "devices|diy|doctor"
offers --de -- "--demo"
offers --lang "" -- "english|chinese"
offers --demo --lang english se -- "set"
# Effects by either name, letter case ignored, names of several words quoted for the shell.
offers light r -- 'Reactive|Ripple|Raindrop|Radar|Running\ Water\ Run\ Mode'
offers light 'Running\ W' -- 'Running\ Water\ Run\ Mode'
offers light di -- "DIY1|DIY2|DIY3|DIY4|DIY5"
offers --lang chinese light 流 -- "流水跑马"
offers light wave --direction "" -- "up|down|left|right"
offers light wave --b -- "--brightness"
offers light static --speed 9 --a -- "--apply"
# Keys as "tessaronctl names keys" spells them, each of which finds its key again.
offers assign ca -- 'Caps\ Lock'
offers assign 'Caps\ Lock' f -- "function|file|folder"
offers assign 'Caps\ Lock' function sel -- 'Select\ All'
offers assign 'Caps\ Lock' combo Ctrl ""  -- "$(tessaronctl names keys | while IFS= read -r k; do printf '%q|' "$k"; done | sed 's/|$//')"
offers assign 'Caps\ Lock' single A --ap -- "--apply"
offers diy "" -- "1|2|3|4|5"
offers diy 3 o -- "on|off"
offers diy 3 on esc f1 F1 -- "F1|F10|F11|F12"
offers set "" -- "game-mode|win-lock|response-time|report-rate"
offers set game-mode "" -- "on|off"
offers set game-mode on report-rate "" -- "125|250|500|1000"
offers set response-time 1 -- "10|12|14|16|18"
offers set win-lock off r -- "response-time|report-rate"
offers macro e -- "export"
offers profile s -- "save"
offers profile load Work shared.bin --a -- "--allow-host-actions"
offers config "" -- "export|import|check"
offers config import mine.json "" -- "--allow-host-actions"
offers names "" -- "commands|keys|effects|functions"
offers rules m -- "move"
offers rules add --profile Games --not class "" -- "equals|contains|starts_with|regex"
offers rules add --k -- "--keep"
offers rules add --keep title contains "" -- ""
offers rules test --c -- "--command-line|--class"
offers show --j -- "--json"

offers set --apply game-mode "" -- "on|off"
offers set game-mode on --apply win-lock o -- "on|off"
offers help as -- "assign"
offers keys "" -- "--json"
offers profile list "" -- "--json"

# File and folder names as the shell completes them: blanks kept for the shell to quote,
# folders left open.
files=$(mktemp -d) || exit 1
trap 'rm -rf "$files"' EXIT
mkdir "$files/sub dir" && touch "$files/my file.json" "$files/sub dir/inner.txt"
cd "$files" || exit 1
offers config import my -- "my file.json (as file names)"
offers config import 'my\ f' -- "my file.json (as file names)"
offers macro import su -- "sub dir (as file names)"
offers assign F12 folder "" -- "sub dir (as file names)"
offers --data-dir su -- "sub dir (as file names)"
offers apply 'sub dir/i' -- "sub dir/inner.txt (as file names)"
cd - >/dev/null || exit 1

# Every command the program has is offered.
offers "" -- "$(tessaronctl names commands | paste -sd'|')"

[ "$failures" -eq 0 ] || { echo "$failures completion check(s) failed" >&2; exit 1; }
echo "bash completion: all checks passed"
