# bash completion for tessaronctl                                    -*- shell-script -*-
# Commands, options and the names of keys, effects and functions come from the program itself
# ("tessaronctl names ..."), so they always match what it accepts. Needs nothing but bash.

# Offers each word after the first that starts with the first (the word being completed, letter
# case ignored), quoted for the shell: "Caps Lock" becomes Caps\ Lock.
_tessaronctl_offer() {
    local want=$1 word
    shift
    want=${want//\\/}
    want=${want#[\"\']}
    for word in "$@"; do
        [[ -n $word && ${word,,} == "${want,,}"* ]] && COMPREPLY+=("$(printf '%q' "$word")")
    done
}

# Offers file names (-f) or folder names (-d) as bash completes them itself: the shell quotes
# them ("my file" becomes my\ file) and ends a folder with / and no space, so Tab goes on into it.
_tessaronctl_files() {
    local want=$2
    want=${want//\\/}
    want=${want#[\"\']}
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen "$1" -- "$want")
}

# Offers the names "tessaronctl names KIND" prints; $run (the program and its global options)
# comes from _tessaronctl.
_tessaronctl_names() {
    local -a list
    mapfile -t list < <("${run[@]}" names "$1" 2>/dev/null)
    _tessaronctl_offer "$2" "${list[@]}"
}

# Offers the profiles "tessaronctl profile list" prints, and any further words given.
_tessaronctl_profiles() {
    local want=$1 line
    shift
    local -a list=("$@")
    while IFS= read -r line; do
        [[ $line == "No profiles in "* ]] || list+=("$line")
    done < <("${run[@]}" profile list 2>/dev/null)
    _tessaronctl_offer "$want" "${list[@]}"
}

_tessaronctl() {
    COMPREPLY=()
    local cur=${COMP_WORDS[COMP_CWORD]-}
    local prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local program=${COMP_WORDS[0]}
    # The global options go before the command; the ones that take a value skip it.
    local -a global=()
    local i=1 command= at=0
    while ((i < COMP_CWORD)); do
        case ${COMP_WORDS[i]} in
            --data-dir | --lang | --command-interface | --event-interface)
                global+=("${COMP_WORDS[i]}" "${COMP_WORDS[i + 1]-}")
                ((i += 2))
                continue
                ;;
            -*) global+=("${COMP_WORDS[i]}") ;;
            *)
                command=${COMP_WORDS[i]}
                at=$i
                break
                ;;
        esac
        ((i++))
    done
    local -a run=("$program" "${global[@]}")

    if [[ -z $command ]]; then
        case $prev in
            --data-dir) _tessaronctl_files -d "$cur" ;;
            --lang) _tessaronctl_offer "$cur" english chinese ;;
            --command-interface | --event-interface) ;;
            *)
                if [[ $cur == -* ]]; then
                    _tessaronctl_offer "$cur" --data-dir --demo --lang --command-interface \
                        --event-interface --help --version
                else
                    _tessaronctl_names commands "$cur"
                fi
                ;;
        esac
        return 0
    fi

    # n: the position of the word being completed among the command's own arguments (1 = first).
    local n=$((COMP_CWORD - at))
    local first=${COMP_WORDS[at + 1]-}
    case $command in
        assign)
            local kind=${COMP_WORDS[at + 2]-}
            if ((n == 1)); then
                _tessaronctl_names keys "$cur"
            elif ((n == 2)); then
                _tessaronctl_offer "$cur" single combo function macro sound program file folder \
                    disable enable default
            elif [[ $cur == -* ]]; then
                _tessaronctl_offer "$cur" --apply
            else
                case $kind in
                    single | combo) _tessaronctl_names keys "$cur" ;;
                    function) ((n == 3)) && _tessaronctl_names functions "$cur" ;;
                    sound | program | file) _tessaronctl_files -f "$cur" ;;
                    folder) _tessaronctl_files -d "$cur" ;;
                esac
            fi
            ;;
        light)
            case $prev in
                --speed) _tessaronctl_offer "$cur" 0 1 2 3 4 5 6 7 8 9 ;;
                --brightness) _tessaronctl_offer "$cur" 0 10 20 30 40 50 ;;
                --direction) _tessaronctl_offer "$cur" up down left right ;;
                *)
                    if [[ $cur == -* ]]; then
                        _tessaronctl_offer "$cur" --speed --brightness --direction --apply --json
                    else
                        _tessaronctl_names effects "$cur"
                    fi
                    ;;
            esac
            ;;
        diy)
            if [[ $cur == -* ]]; then
                _tessaronctl_offer "$cur" --apply
            elif ((n == 1)); then
                _tessaronctl_offer "$cur" 1 2 3 4 5
            elif ((n == 2)); then
                _tessaronctl_offer "$cur" on off
            else
                _tessaronctl_names keys "$cur"
            fi
            ;;
        set)
            # Settings and values alternate; --apply may stand anywhere between them.
            local words=0
            for ((i = at + 1; i < COMP_CWORD; i++)); do
                [[ ${COMP_WORDS[i]} == --apply ]] || ((words++))
            done
            if [[ $cur == -* ]]; then
                _tessaronctl_offer "$cur" --apply
            elif ((words % 2 == 0)); then
                _tessaronctl_offer "$cur" game-mode win-lock response-time report-rate
            else
                local setting=$prev
                [[ $prev == --apply ]] && setting=${COMP_WORDS[COMP_CWORD - 2]-}
                case ${setting,,} in
                    game-mode | win-lock) _tessaronctl_offer "$cur" on off ;;
                    response-time) _tessaronctl_offer "$cur" 2 4 6 8 10 12 14 16 18 20 ;;
                    report-rate) _tessaronctl_offer "$cur" 125 250 500 1000 ;;
                esac
            fi
            ;;
        macro)
            if ((n == 1)); then
                _tessaronctl_offer "$cur" list show import export delete
            elif [[ $first == list && n -eq 2 ]]; then
                _tessaronctl_offer "$cur" --json
            elif [[ $first == import ]] || [[ $first == export && n -eq 3 ]]; then
                _tessaronctl_files -f "$cur"
            fi
            ;;
        profile)
            if ((n == 1)); then
                _tessaronctl_offer "$cur" list new copy save load delete rename
            elif [[ $first == list && n -eq 2 ]]; then
                _tessaronctl_offer "$cur" --json
            elif [[ $first == load && n -eq 3 ]] || [[ $prev == --export ]]; then
                _tessaronctl_files -f "$cur"
            elif [[ $first == save && n -eq 3 ]]; then
                _tessaronctl_offer "$cur" --export
            elif [[ $first == load && n -eq 4 ]]; then
                _tessaronctl_offer "$cur" --allow-host-actions
            fi
            ;;
        config)
            if ((n == 1)); then
                _tessaronctl_offer "$cur" export import check
            elif ((n == 2)); then
                _tessaronctl_files -f "$cur"
            elif [[ $first == import && n -eq 3 ]]; then
                _tessaronctl_offer "$cur" --allow-host-actions
            fi
            ;;
        rules)
            if ((n == 1)); then
                _tessaronctl_offer "$cur" list add remove move test otherwise limit on off follow
            elif [[ $first == add ]]; then
                case $prev in
                    --profile) _tessaronctl_profiles "$cur" ;;
                    --at) ;;
                    program | command_line | class | title)
                        _tessaronctl_offer "$cur" equals contains starts_with regex ;;
                    equals | contains | starts_with | regex) ;;  # the text to match
                    *)
                        if [[ $cur == -* ]]; then
                            _tessaronctl_offer "$cur" --profile --keep --at --not --case-sensitive
                        else
                            _tessaronctl_offer "$cur" program command_line class title
                        fi
                        ;;
                esac
            elif [[ $first == test && $cur == -* ]]; then
                _tessaronctl_offer "$cur" --program --command-line --class --title --pid
            elif [[ $first == otherwise && n -eq 2 ]]; then
                _tessaronctl_profiles "$cur" previous
            fi
            ;;
        press) ((n == 1)) && _tessaronctl_names keys "$cur" ;;
        names) ((n == 1)) && _tessaronctl_offer "$cur" commands keys effects functions ;;
        help) ((n == 1)) && _tessaronctl_names commands "$cur" ;;
        keys) ((n == 1)) && _tessaronctl_offer "$cur" --json ;;
        show) ((n == 1)) && _tessaronctl_offer "$cur" --json ;;
        reset) ((n == 1)) && _tessaronctl_offer "$cur" --yes ;;
        apply) ((n == 1)) && _tessaronctl_files -f "$cur" ;;
    esac
    return 0
}

complete -F _tessaronctl tessaronctl
