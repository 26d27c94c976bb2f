#!/usr/bin/env bash
# Installs every Debian package Tessarel needs to build, test and compile help.
set -euo pipefail
# Set by scripts/test-all.sh once it has installed, so its stages do not repeat it.
if [ "${TESSAREL_DEPS_INSTALLED:-}" = 1 ]; then exit 0; fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
    build-essential cmake ninja-build git ca-certificates \
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libqt6webenginecore6-bin libgl-dev \
    libgtest-dev googletest \
    desktop-file-utils appstream xdg-utils shared-mime-info libfile-mimeinfo-perl dpkg-dev file bash-completion man-db \
    clang libclang-rt-14-dev clang-format \
    fp-utils libchm-bin \
    xvfb xauth fonts-dejavu-core \
    chromium firefox-esr
# The browser tests of the Modern book drive the browsers from node; a node
# already there (often newer than Debian's) is kept.
if ! command -v node >/dev/null 2>&1; then
    $SUDO apt-get install -y --no-install-recommends nodejs
fi
if ! command -v npm >/dev/null 2>&1; then
    $SUDO apt-get install -y --no-install-recommends npm
fi
# The pinned modules, again only when the lock file is newer than the last install.
modern="$(cd "$(dirname "$0")/.." && pwd)/tests/browser/modern"
if [ ! -f "$modern/node_modules/.package-lock.json" ] ||
   [ "$modern/package-lock.json" -nt "$modern/node_modules/.package-lock.json" ]; then
    (cd "$modern" && npm ci --no-audit --no-fund)
fi
