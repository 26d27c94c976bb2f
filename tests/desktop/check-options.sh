#!/bin/sh
# The manual pages name every option the programs know, and no other; the
# console program's help, its manual page and its completion agree, and so do
# the exit statuses of its help and manual page.
#
# usage: check-options.sh TESSAREL_CLI SOURCE_DIR [WITH_APP TESSAREL]
set -eu
cli=$1
source=$2
with_app=${3:-OFF}
app=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
lists="$here/option-lists.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# Compares two lists; an empty list means the reader is broken, not agreement.
same() {
    label=$1
    shift 1
    for list in "$@"; do
        if [ ! -s "$list" ]; then
            echo "check-options: $label: no entries found in $(basename "$list")"
            failed=1
            return
        fi
    done
    if ! diff -u "$1" "$2" >"$work/diff"; then
        echo "check-options: $label differ:"
        cat "$work/diff"
        failed=1
    fi
}

"$cli" --help >"$work/help.txt"
"$lists" help "$work/help.txt" >"$work/help"
"$lists" man "$source/data/man/tessarel-cli.1" >"$work/man"
"$lists" completion "$source/data/completion/tessarel-cli" >"$work/completion"
same "tessarel-cli --help and tessarel-cli(1) options" "$work/help" "$work/man"
same "tessarel-cli --help and the completion's options" "$work/help" "$work/completion"

"$lists" exit-help "$work/help.txt" >"$work/exit-help"
"$lists" exit-man "$source/data/man/tessarel-cli.1" >"$work/exit-man"
same "tessarel-cli --help and tessarel-cli(1) exit statuses" "$work/exit-help" "$work/exit-man"

if [ "$with_app" = ON ]; then
    # The desktop program prints its usage without a display, and exits 0.
    for word in --help -h; do
        if ! env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$app" "$word" >"$work/app-help.txt" 2>"$work/app-err"; then
            echo "check-options: tessarel $word failed:"
            cat "$work/app-err"
            failed=1
        fi
        grep -q '^Usage: tessarel ' "$work/app-help.txt" || {
            echo "check-options: tessarel $word printed no usage"
            failed=1
        }
    done
    "$lists" help "$work/app-help.txt" >"$work/app-help"
    "$lists" man "$source/data/man/tessarel.1" >"$work/app-man"
    same "tessarel --help and tessarel(1) options" "$work/app-help" "$work/app-man"
    # Its help names the options its start-up tests for, and those for help.
    cat "$source"/app/*.cpp >"$work/app-sources.cpp"
    { "$lists" app-source "$work/app-sources.cpp"; printf -- '-h\n--help\n'; } | sort -u >"$work/app"
    same "the desktop program's options and tessarel --help" "$work/app" "$work/app-help"
fi

[ "$failed" -eq 0 ] && echo "check-options: the option lists agree"
exit "$failed"
