#!/bin/sh
# End to end: the desktop program opens a copy of the example project, builds
# its book, shows it and exits 0 ("tessarel PROJECT.qdx -b -e"). A picture of
# the main window is left in the screenshot folder for a person to look at.
#
# usage: e2e.sh TESSAREL_BINARY [SCREENSHOT_FOLDER]
# Needs a display; without one it starts itself again under xvfb-run, and it
# exits 77 (skipped) when neither is there.
set -eu

program=$1
shots=${2:-${TESSAREL_SCREENSHOT_DIR:-}}
here=$(cd "$(dirname "$0")" && pwd)
examples="$here/../../examples"

if [ -z "${DISPLAY:-}" ]; then
    if command -v xvfb-run >/dev/null 2>&1; then
        exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
    fi
    echo "e2e: no display and no xvfb-run; skipped"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -n "$shots" ] || shots="$work/shots"

# A home of its own: the user's preferences and window state stay untouched.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Tessarel"
chmod 700 "$XDG_RUNTIME_DIR"
# Chromium refuses to run as root inside its sandbox, and there is no GPU here.
export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu

# The sample project asks for HTML Help: a stand-in compiler records its call.
mkdir -p "$work/compiler"
cat > "$work/compiler/chmcmd" <<SCRIPT
#!/bin/sh
pwd > "$work/compiler/called"
SCRIPT
chmod +x "$work/compiler/chmcmd"
# The store's file name differs between Qt's INI flavours; write both.
for store in Tessarel.ini Tessarel.conf; do
    cat > "$XDG_CONFIG_HOME/Tessarel/$store" <<CONF
[general_settings]
first=no

[project_settings]
htmlHelpCompilerPath=$work/compiler
CONF
done

cp -r "$examples" "$work/project"
# Whatever a build in the source tree left in the book folder goes; its figure stays.
find "$work/project/book" -mindepth 1 -maxdepth 1 ! -name ring.svg -exec rm -rf {} +

status=0
TESSAREL_SCREENSHOT_DIR="$shots" timeout 240 "$program" "$work/project/sample.qdx" -b -e || status=$?
fail() { echo "e2e: $*"; exit 1; }
[ "$status" -eq 0 ] || fail "tessarel exited with $status"
[ -f "$work/project/book/index.htm" ] || fail "no index.htm in the book"
[ -f "$work/project/book/_book.htm" ] || fail "no contents page"
[ -f "$work/project/book/ring_buffer.c.htm" ] || fail "no chapter page for ring_buffer.c"
[ -f "$work/project/book/HTML Help/help.hhp" ] || fail "no HTML Help project"
[ -f "$work/project/book/_search.htm" ] && [ -f "$work/project/book/_search_index.js" ] || fail "no search page"
[ -f "$shots/main_window.png" ] || fail "no screenshot in $shots"
[ -f "$XDG_DATA_HOME/Tessarel/fs.xml" ] || fail "the window state was not saved"
grep -qs "h0=.*sample.qdx" "$XDG_CONFIG_HOME/Tessarel/Tessarel.ini" "$XDG_CONFIG_HOME/Tessarel/Tessarel.conf" ||
    fail "the project is not in the recent list"
# The build waits for the compiler.
[ -f "$work/compiler/called" ] || fail "the HTML Help compiler was not started"
echo "e2e: book built, screenshot in $shots/main_window.png"
