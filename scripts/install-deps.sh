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
    xvfb xauth fonts-dejavu-core
