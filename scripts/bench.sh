#!/usr/bin/env bash
# Builds Lexiglow for speed and runs every benchmark: the in-process ones
# (Google Benchmark), the pool's peak memory, and the whole-process
# comparison with other password generators. Run it on an otherwise idle
# machine.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev hyperfine pwgen apg xkcdpass

cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DLEXIGLOW_BENCHMARKS=ON
cmake --build build/bench

echo "== Machine"
echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(uname -sr)"
echo
echo "== In-process"
build/bench/bench/bench_core
build/bench/bench/bench_gui
echo
echo "== Word pool memory"
build/bench/bench/bench_pool_memory
echo
echo "== Against other generators (medians of ${RUNS:-15} runs)"
bench/compare.sh build/bench
