#!/usr/bin/env bash
# Builds the Debian package of Vordane (Release) and prints its path.
# Install it with: sudo apt-get install ./vordane_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
# dpkg-shlibdeps (dpkg-dev) and file find the packages the programs' libraries come from.
scripts/deps.sh dpkg-dev file
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORDANE_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build/package
(cd build/package && cpack -G DEB >/dev/null)
version=$(sed -n 's/^project(Vordane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
ls "$PWD"/build/package/vordane_"${version}"_*.deb
