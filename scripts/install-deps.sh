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
    locales
    libsmbclient-dev libsmbclient samba
)

# The locales the unit tests are run under once more: a decimal comma, and a system encoding
# that is not UTF-8.
test_locales=("de_DE.UTF-8 UTF-8" "zh_CN.GB18030 GB18030")

# A locale is there when `locale -a` lists it, by its normalised name (de_DE.utf8).
has_locale() {
    local name=${1%% *}
    local normalised=${name%%.*}.$(echo "${name#*.}" | tr 'A-Z' 'a-z' | tr -d -- '-')
    locale -a 2>/dev/null | grep -qx "$normalised"
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Enabled in locale.gen, so that a later locale-gen keeps them, and generated.
generate=0
for l in "${test_locales[@]}"; do
    has_locale "$l" && continue
    grep -qx "$l" /etc/locale.gen ||
        "${sudo[@]}" sed -i "s/^# *$l\$/$l/" /etc/locale.gen
    grep -qx "$l" /etc/locale.gen || echo "$l" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    generate=1
done
[ "$generate" -eq 0 ] || "${sudo[@]}" locale-gen
