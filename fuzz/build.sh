#!/usr/bin/env bash
# Builds the libFuzzer programs in build-fuzz with clang 14, AddressSanitizer and
# UBSan. The normal build and ./test.sh never need this.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install_packages.sh --fuzz
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++-14 -DQUENDRO_FUZZ=ON -DQUENDRO_VIEW=OFF -DQUENDRO_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "${JOBS:-2}"
