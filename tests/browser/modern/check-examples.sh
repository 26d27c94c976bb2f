#!/usr/bin/env bash
# Builds the examples as a Modern book in a temporary folder and checks it in
# Chromium and Firefox ESR (run.mjs).
#   check-examples.sh TESSAREL_CLI EXAMPLES_FOLDER SCREENSHOT_FOLDER
# Exits 77 (skipped) when the browsers or the node modules are missing, except
# under CI, where missing tools are a failure.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=$1
examples=$2
screenshots=$3

missing=()
command -v node >/dev/null 2>&1 || missing+=(node)
[ -x "${TESSAREL_CHROMIUM:-/usr/bin/chromium}" ] || missing+=(chromium)
[ -x "${TESSAREL_FIREFOX:-/usr/bin/firefox-esr}" ] || missing+=(firefox-esr)
for module in playwright-core puppeteer-core @axe-core/playwright; do
    [ -f "$here/node_modules/$module/package.json" ] || missing+=("$module (npm ci in $here)")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "${CI:-}" = true ]; then
        echo "missing under CI: ${missing[*]}" >&2
        exit 1
    fi
    echo "skipped, missing: ${missing[*]}"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$examples" "$work/examples"
project="$work/examples/sample.qdx"
if grep -q '<BookLayout>' "$project"; then
    sed -i 's|<BookLayout>[^<]*</BookLayout>|<BookLayout>Modern</BookLayout>|' "$project"
else
    sed -i 's|</Settings>| <BookLayout>Modern</BookLayout>\n</Settings>|' "$project"
fi
"$cli" "$project"
destination=$(sed -n 's|.*<RelDestPath>\(.*\)</RelDestPath>.*|\1|p' "$project" | tr '\\' '/')
# Not exec: the trap removes the temporary book afterwards.
node "$here/run.mjs" "$work/examples/$destination" --screenshots "$screenshots" --styles "$(dirname "$cli")/styles"
