#!/usr/bin/env bash
# Installs every Debian package Zorbeth needs to build, run and test. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-image-formats-plugins
    libqscintilla2-qt6-dev
    libcurl4-openssl-dev
    libgl-dev
    python3 python3-pyftpdlib python3-openssl
    xvfb xauth
    poppler-utils
    clang libclang-rt-14-dev llvm
    openssl python3-paramiko
    libtomlplusplus-dev libqt6sql6-sqlite sqlite3
    ccache ninja-build lld
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "All needed packages are installed."
    exit 0
fi

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
