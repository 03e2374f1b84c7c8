#!/usr/bin/env bash
# Builds the Debian package of quendro from this tree into build/package/
# (quendro_<version>_<arch>.deb): the programs, the web viewer, the publisher
# and its services. Install it with: apt install ./build/package/quendro_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install_packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENDRO_CORE_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)"
rm -f build/package/quendro_*.deb
(cd build && cpack -G DEB >/dev/null)
ls build/package/quendro_*.deb
