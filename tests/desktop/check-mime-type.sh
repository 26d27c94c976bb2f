#!/bin/sh
# Once installed, the project file type is recognised by name and by content,
# and the desktop entry opens it: in a private XDG data folder, as a file
# manager would see it.
#
# usage: check-mime-type.sh SOURCE_DIR [WITH_APP]
# Exits 77 (skipped) when the desktop's MIME tools are not installed.
set -eu
source=$1
with_app=${2:-OFF}
id=org.example.tessarel
type=application/x-tessarel-project

for tool in xdg-mime update-mime-database mimetype; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "check-mime-type: $tool is not installed; skipped"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work/home"
export XDG_DATA_DIRS=/usr/share
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_SESSION_VERSION GNOME_DESKTOP_SESSION_ID || true
mkdir -p "$XDG_DATA_HOME/mime/packages" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME" "$HOME"
cp "$source/data/$id.xml" "$XDG_DATA_HOME/mime/packages/"
update-mime-database "$XDG_DATA_HOME/mime"

failed=0
expect() {
    actual=$(xdg-mime query filetype "$2")
    [ "$actual" = "$1" ] || {
        echo "check-mime-type: $(basename "$2") is '$actual', not '$1'"
        failed=1
    }
}

cp "$source/examples/sample.qdx" "$work/sample.qdx"
expect "$type" "$work/sample.qdx"
# A project saved without the extension is still known by its root element.
cp "$source/examples/sample.qdx" "$work/sample-project"
expect "$type" "$work/sample-project"
# Other XML is left alone.
printf '<?xml version="1.0"?>\n<catalog>\n<TessarelProjectNote/>\n</catalog>\n' >"$work/catalog.xml"
expect application/xml "$work/catalog.xml"

if [ "$with_app" = ON ] && command -v update-desktop-database >/dev/null 2>&1; then
    cp "$source/data/$id.desktop" "$XDG_DATA_HOME/applications/"
    update-desktop-database "$XDG_DATA_HOME/applications"
    handler=$(xdg-mime query default "$type")
    [ "$handler" = "$id.desktop" ] || {
        echo "check-mime-type: $type opens with '$handler', not $id.desktop"
        failed=1
    }
    # Sources open in their editor: with no other program installed here, the
    # entry must not become their default.
    for source_type in text/x-csrc text/x-c++src text/x-python text/javascript text/plain; do
        handler=$(xdg-mime query default "$source_type")
        [ "$handler" != "$id.desktop" ] || {
            echo "check-mime-type: $source_type opens with $id.desktop"
            failed=1
        }
    done
fi

[ "$failed" -eq 0 ] && echo "check-mime-type: project files are $type and open in Tessarel"
exit "$failed"
