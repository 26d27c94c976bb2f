#!/bin/sh
# The option lists that users read in several places, kept in step: the manual
# page, the program's own help and the shell completion. Prints one option per
# line, sorted, so that two lists compare with diff.
#
# usage: option-lists.sh help|man|completion|exit-help|exit-man FILE
#   help        FILE holds the output of "tessarel-cli --help"
#   man         FILE is a manual page; its OPTIONS section is read
#   completion  FILE is the bash completion script
#   exit-help   the exit statuses that FILE (the help) names
#   exit-man    the exit statuses of the manual page's EXIT STATUS section
#   app-source  FILE is a source file; the option names it tests
set -eu
kind=$1
file=$2

# The body of one section of a manual page: the lines between ".SH NAME" and
# the next ".SH", with roff's escaped hyphens and font changes made plain.
man_section() {
    awk -v name="$1" '
        /^\.SH/ { inside = ($0 == ".SH " name || $0 == ".SH \"" name "\""); next }
        inside { print }' "$file" |
        sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g'
}

# The heading lines (those right after ".TP") of a manual page section.
tagged_paragraphs() {
    man_section "$1" | awk 'tagged { print; tagged = 0 } /^\.TP/ { tagged = 1 }' | sed -e 's/^\.[BIR]*  *//'
}

# The options named in option column text: "-j, --jobs <N>" gives -j and --jobs.
option_words() {
    tr ',' '\n' | sed -e 's/^[[:space:]]*//' -e 's/[[:space:]<=\[].*//' | grep -E '^--?[A-Za-z0-9?]' || true
}

case $kind in
help)
    # Qt's help lists each option indented, its names separated from the
    # description by at least two blanks.
    grep -E '^[[:space:]]+-' "$file" | sed -e 's/^[[:space:]]*//' -e 's/  .*//' | option_words
    ;;
man)
    tagged_paragraphs OPTIONS | option_words
    ;;
completion)
    sed -n 's/^[[:space:]]*local options="\(.*\)"/\1/p' "$file" | tr ' ' '\n' | grep -v '^$' || true
    ;;
exit-help)
    # "Exit status: 0 all built, 1 a file failed, ..." may run over several lines.
    sed -n '/Exit status:/,/^[[:space:]]*$/p' "$file" | sed 's/Exit status://' | tr ',' '\n' |
        sed -n 's/^[[:space:]]*\([0-9][0-9]*\) .*/\1/p'
    ;;
exit-man)
    tagged_paragraphs "EXIT STATUS" | grep -E '^[0-9]+$' || true
    ;;
app-source)
    sed -n 's/.*isOptionPresent(QStringLiteral("\([A-Za-z0-9]*\)")).*/-\1/p' "$file"
    ;;
*)
    echo "option-lists.sh: unknown list '$kind'" >&2
    exit 2
    ;;
esac | sort -u
