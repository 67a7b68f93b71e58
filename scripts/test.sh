#!/usr/bin/env bash
# Builds Lexiglow with its tests and runs every test, without a display: first
# as it ships, then again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then a short run of each fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

export QT_QPA_PLATFORM=offscreen

# build_and_test TREE [cmake options...]: configures build/TREE, builds it and runs its tests.
build_and_test() {
    local tree=build/$1
    shift
    cmake -S . -B "$tree" -G Ninja "$@"
    cmake --build "$tree"
    ctest --test-dir "$tree" --output-on-failure --timeout 300 -j "$(nproc)"
}

build_and_test test -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Debug keeps Qt's and our own assertions on.
build_and_test asan -DCMAKE_BUILD_TYPE=Debug -DLEXIGLOW_SANITIZE=ON
# Only the fuzzers: the tests have just run under the same sanitizers.
build_and_test fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DCMAKE_CXX_COMPILER=clang++-14 -DLEXIGLOW_FUZZ=ON -DBUILD_TESTING=OFF
