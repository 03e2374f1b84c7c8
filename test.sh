#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test once: the core's under
# AddressSanitizer and UBSan, then the window's in the whole program's build.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install_packages.sh

jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENDRO_CORE_TESTS=OFF >/dev/null
cmake --build build -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUENDRO_SANITIZE=ON \
      -DQUENDRO_VIEW=OFF -DQUENDRO_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"

# The benchmarks run briefly on a small made-up meet, so that they keep working.
QUENDRO_BENCH_HEATS=40 build/bench/quendro_bench --benchmark_min_time=0.01 >/dev/null
QUENDRO_BENCH_HEATS=40 build/bench/quendro_window_bench --benchmark_min_time=0.01 >/dev/null
# The web viewer's audience, a few hundred pages polling the shown heat.
bench/web_audience.sh 300 2 >/dev/null
# A phone on a crowded link, on a meet of 40 heats (Debian's Python, which
# holds Selenium).
/usr/bin/python3 bench/web_latency.py . build --heats 40 --runs 1 >/dev/null

echo "== sanitizer build (core) =="
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan -j "$jobs" --output-on-failure --timeout 300
echo "== full build =="
QT_QPA_PLATFORM=offscreen ctest --test-dir build -j "$jobs" --output-on-failure --timeout 300
