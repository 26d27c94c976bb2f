#!/bin/sh
# The desktop entry and the software-centre metadata pass their validators and
# agree with each other and with the files they name: one application id, the
# icon and MIME type that are shipped, screenshots of the size they claim.
#
# usage: check-desktop-files.sh SOURCE_DIR METAINFO
#   METAINFO is the configured metadata file of the build tree.
# Exits 77 (skipped) when the validators are not installed.
set -eu
source=$1
metainfo=$2
data="$source/data"
id=org.example.tessarel
desktop="$data/$id.desktop"

for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "check-desktop-files: $tool is not installed; skipped"
        exit 77
    fi
done

failed=0
fail() {
    echo "check-desktop-files: $*"
    failed=1
}

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli rejects $metainfo"

entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Icon)" = "$id" ] || fail "the desktop entry's icon is '$(entry Icon)', not $id"
case "$(entry Exec)" in
tessarel\ %[fF]) ;;
*) fail "the desktop entry starts '$(entry Exec)', not tessarel with the files" ;;
esac
for category in Development Documentation; do
    entry Categories | tr ';' '\n' | grep -qx "$category" || fail "the desktop entry is not in $category"
done

# The project type is both declared and opened by the program.
mime_type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$data/$id.xml")
[ "$mime_type" = application/x-tessarel-project ] || fail "the MIME type file declares '$mime_type'"
entry MimeType | tr ';' '\n' | grep -qx "$mime_type" || fail "the desktop entry does not open $mime_type"
grep -q "<mediatype>$mime_type</mediatype>" "$metainfo" || fail "the metadata does not provide $mime_type"

grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not launch $id.desktop"
grep -q '<metadata_license>CC0-1.0</metadata_license>' "$metainfo" || fail "the metadata licence is not CC0-1.0"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "the project licence is not GPL-3.0-or-later"
grep -q '@[A-Z_]*@' "$metainfo" && fail "the metadata still holds a placeholder"

# Every screenshot is committed, under its published name, at the size the
# metadata gives (a PNG's width and height are big-endian at bytes 16 and 20).
shots=$(sed -n 's/.*<image[^>]*>\(.*\)<\/image>.*/\1/p' "$metainfo")
[ -n "$shots" ] || fail "the metadata shows no screenshot"
for url in $shots; do
    png="$data/screenshots/$(basename "$url")"
    if [ ! -f "$png" ]; then
        fail "no $png for $url"
        continue
    fi
    size=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
    claimed=$(grep -F "$url" "$metainfo" | sed -n 's/.*width="\([0-9]*\)" height="\([0-9]*\)".*/\1x\2/p')
    [ "$size" = "$claimed" ] || fail "$png is $size, the metadata says $claimed"
done

# The icon artwork in every size the theme gets, square and of that size.
[ -f "$data/icons/tessarel.svg" ] || fail "no scalable icon"
for size in 16 24 32 48 64 128 256; do
    png="$data/icons/$size/tessarel.png"
    actual=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
    [ "$actual" = "${size}x${size}" ] || fail "$png is $actual"
done

[ "$failed" -eq 0 ] && echo "check-desktop-files: desktop entry and metadata are valid"
exit "$failed"
