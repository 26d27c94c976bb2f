#!/usr/bin/env bash
# The weight of the Modern layout: its interface scripts, each style's modern
# sheet, the chrome of a chapter page, and a 4000-chapter book on disk in
# Frames and in Modern. See bench/README.md.
# Usage: bench/modern_weight.sh BUILD_DIR GEN_CORPUS [FUNCTIONS_PER_FILE]
set -euo pipefail
BUILD=$(cd "$1" && pwd)
GEN=$2
FUNCS=${3:-10}
HERE=$(cd "$(dirname "$0")/.." && pwd)
CLI=$BUILD/bin/tessarel-cli
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export SOURCE_DATE_EPOCH=1700000000 HOME="$WORK/home" XDG_CACHE_HOME="$WORK/home/.cache" \
    XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local/share"

status=0
check() {  # name value limit
    if [ "$2" -le "$3" ]; then echo "  $1: $2 bytes (target <= $3) ok"; else echo "  $1: $2 bytes (target <= $3) TOO LARGE"; status=1; fi
}

echo "interface scripts:"
scripts=$(cat "$HERE"/pages/resources/modern/*.js | wc -c)
check "all scripts" "$scripts" 32768

echo "modern style sheets:"
found=0
for sheet in "$BUILD"/bin/styles/*.modern.css; do
    [ -e "$sheet" ] || continue
    found=1
    check "$(basename "$sheet")" "$(wc -c <"$sheet")" 25600
done
[ "$found" = 1 ] || echo "  none in $BUILD/bin/styles"

# A corpus of 4000 chapters, built once as it is (Frames) and once Modern.
python3 "$GEN" "$WORK/corpus" 4000 "$FUNCS" --qdx >/dev/null
sed -e 's|<RelDestPath>out\\</RelDestPath>|<RelDestPath>modern\\</RelDestPath>|' \
    -e 's|</Settings>|'$' <BookLayout>Modern</BookLayout>\r\\\n''</Settings>|' \
    "$WORK/corpus/corpus.qdx" >"$WORK/corpus/modern.qdx"
grep -q '<BookLayout>Modern</BookLayout>' "$WORK/corpus/modern.qdx"
(cd "$WORK/corpus" && "$CLI" corpus.qdx >/dev/null && "$CLI" modern.qdx >/dev/null)

# Chrome: a chapter page less its own content (from the end of the
# breadcrumb to the pager).
page="$WORK/corpus/modern/module0001.c.htm"
total=$(wc -c <"$page")
content=$(python3 - "$page" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
start = data.index(b'</nav>', data.index(b'class="Breadcrumb"')) + len(b'</nav>\r\n')
end = data.index(b'<nav class="Pager"')
print(end - start)
PY
)
echo "chapter page module0001.c.htm: $total bytes, content $content"
check "chrome" $((total - content)) 4096

frames=$(du -sb "$WORK/corpus/out" | cut -f1)
modern=$(du -sb "$WORK/corpus/modern" | cut -f1)
echo "4000-chapter book ($FUNCS functions a file): Frames $frames bytes, Modern $modern bytes"
ratio=$(python3 -c "print(f'{$modern / $frames:.3f}')")
if python3 -c "import sys; sys.exit(0 if $modern <= 1.10 * $frames else 1)"; then
    echo "  Modern / Frames: $ratio (target <= 1.10) ok"
else
    echo "  Modern / Frames: $ratio (target <= 1.10) TOO LARGE"
    status=1
fi
exit $status
