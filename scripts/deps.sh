#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Vordane needs to build, test and run,
# and any packages named as arguments. Does nothing when everything is
# already there.
set -euo pipefail

packages=(
    cmake ninja-build g++
    qt6-base-dev qt6-translations-l10n libqscintilla2-qt6-dev libpcre2-dev pkg-config
    libbenchmark-dev
    xvfb fonts-liberation2 fonts-dejavu-core
    desktop-file-utils appstream
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Instalando: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
