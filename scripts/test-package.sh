#!/usr/bin/env bash
# Builds the Debian package from an existing build tree (no second build),
# checks that every file the desktop needs is in it, validates the desktop
# entry and metadata it carries, and runs the packed tessarel-cli from a
# scratch root.
#
# usage: scripts/test-package.sh [BUILD_DIR]   (default: build, the default preset's)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
id=org.example.tessarel

[ -f "$build/CPackConfig.cmake" ] || { echo "test-package: $build is not a configured build"; exit 1; }
# The build is the caller's (scripts/test-all.sh builds it first); cpack only
# installs what is there.
for program in tessarel tessarel-cli; do
    [ -x "$build/bin/$program" ] || { echo "test-package: build $program first"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "---- cpack -G DEB"
rm -rf "$build/package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$build/package"
debs=("$build"/package/tessarel_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "test-package: expected one package, found ${debs[*]}"; exit 1; }
deb=${debs[0]}

echo "---- contents of $(basename "$deb")"
dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' | tee "$work/contents"

failed=0
fail() {
    echo "test-package: $*"
    failed=1
}
expected=(
    /usr/bin/tessarel
    /usr/bin/tessarel-cli
    /usr/share/tessarel/intro.htm
    /usr/share/tessarel/styles/minimal.css
    /usr/share/tessarel/LICENSE
    /usr/share/applications/$id.desktop
    /usr/share/metainfo/$id.metainfo.xml
    /usr/share/mime/packages/$id.xml
    /usr/share/icons/hicolor/scalable/apps/$id.svg
    /usr/share/man/man1/tessarel.1.gz
    /usr/share/man/man1/tessarel-cli.1.gz
    /usr/share/bash-completion/completions/tessarel-cli
    /usr/share/doc/tessarel/copyright
)
for size in 16 24 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
    grep -qx "$file" "$work/contents" || fail "$file is not in the package"
done
# The help compiler's output goes along when it was made.
if [ -f "$build/bin/help.chm" ]; then
    grep -qx /usr/share/tessarel/help.chm "$work/contents" || fail "help.chm is not in the package"
fi
# Nothing from the build tree or the tests leaks in.
if grep -E '/(tests?|bench|fuzz)/|\.a$|/include/' "$work/contents"; then
    fail "the package holds files that are not the program's"
fi

echo "---- control fields"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends | tee "$work/control"
grep -q '^Depends:.*libqt6core6' "$work/control" || fail "the Qt libraries are not among the dependencies"
grep -q '^Depends:.*libqt6webenginewidgets6' "$work/control" || fail "Qt WebEngine is not among the dependencies"
grep -q '^Recommends:.*fp-utils' "$work/control" || fail "the help compiler is not recommended"
grep -q '^License: GPL-3.0-or-later' <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/tessarel/copyright) ||
    fail "the copyright file does not give the licence"

echo "---- the packed program, run from a scratch root"
root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "the packed desktop entry is invalid"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "the packed metadata is invalid"
version=$("$root/usr/bin/tessarel-cli" --version) || fail "the packed tessarel-cli does not run"
echo "$version"
[ "$version" = "tessarel-cli $(dpkg-deb -f "$deb" Version)" ] || fail "tessarel-cli says '$version'"
# It finds its program files under the scratch root, not in the build tree.
mkdir -p "$work/source"
cp examples/c/ring_buffer.c "$work/source/"
(cd "$work" && HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    "$root/usr/bin/tessarel-cli" source/ring_buffer.c) || fail "the packed tessarel-cli cannot build a page"
[ -s "$work/source/ring_buffer.c.htm" ] || fail "the packed tessarel-cli wrote no chapter page"
# The manual pages format without warnings.
for page in tessarel tessarel-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page(1): $warnings"
done
# The completion offers the options, the project files and the source files.
mkdir -p "$work/files"
touch "$work/files/manual.qdx" "$work/files/ring.c" "$work/files/notes.odt"
complete_words() {
    (cd "$work/files" && bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1"
        COMP_WORDS=(tessarel-cli "$2"); COMP_CWORD=1; COMP_LINE="tessarel-cli $2"; COMP_POINT=${#COMP_LINE}
        _tessarel_cli tessarel-cli "$2" tessarel-cli
        printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' _ \
        "$root/usr/share/bash-completion/completions/tessarel-cli" "$1")
}
if [ -f /usr/share/bash-completion/bash_completion ]; then
    [ "$(complete_words --h)" = "--help --help-all " ] || fail "completing --h offers '$(complete_words --h)'"
    [ "$(complete_words "")" = "manual.qdx ring.c " ] ||
        fail "completing a file offers '$(complete_words "")'"
fi

[ "$failed" -eq 0 ] && echo "test-package: $(basename "$deb") holds the program and its desktop files"
exit "$failed"
