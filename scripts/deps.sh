#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the editor need, when missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev libxkbcommon-dev
    libicu-dev fonts-ipafont-gothic libqt6svg6 libx11-dev
)
if [[ "${1:-}" == "--test" ]]; then
    packages+=(clang clang-format libclang-rt-14-dev libbenchmark-dev xvfb xdotool x11-utils)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
