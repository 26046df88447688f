#!/usr/bin/env bash
# Installs what building, running and testing K_Vorne needs on Debian 12 (as root, or via sudo).
set -euo pipefail

packages=(
    cmake ninja-build g++ python3 clang-format
    qt6-base-dev qt6-image-formats-plugins libgl-dev qt6-webengine-dev qt6-translations-l10n
    libx11-dev libxtst-dev libjpeg62-turbo-dev libsane-dev libsane1
    fonts-arphic-gbsn00lp fonts-arphic-gkai00mp
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xdotool x11-utils imagemagick poppler-utils openbox
    clang libclang-rt-14-dev
    libzstd-dev pkgconf
    qt6-svg-dev
    libpng-dev zlib1g-dev libdeflate-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
