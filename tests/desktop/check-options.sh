#!/bin/sh
# The manual pages name every option the programs know, and no other; the
# console program's help, its manual page and its completion agree, and so do
# the exit statuses of its help and manual page.
#
# usage: check-options.sh TESSAREL_CLI SOURCE_DIR [WITH_APP]
set -eu
cli=$1
source=$2
with_app=${3:-OFF}
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
    # The desktop program has no help of its own: its options are the names
    # its start-up tests for.
    cat "$source"/app/*.cpp >"$work/app-sources.cpp"
    "$lists" app-source "$work/app-sources.cpp" >"$work/app"
    "$lists" man "$source/data/man/tessarel.1" >"$work/app-man"
    same "the desktop program's options and tessarel(1)" "$work/app" "$work/app-man"
fi

[ "$failed" -eq 0 ] && echo "check-options: the option lists agree"
exit "$failed"
