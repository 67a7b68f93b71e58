#!/usr/bin/env bash
# Builds Lexiglow with its tests and runs every test, without a display: first
# as it ships, then again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then a short run of each fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

export QT_QPA_PLATFORM=offscreen

# build_and_test TREE TARGET [cmake options...]: configures build/TREE, builds
# TARGET there and runs the tree's tests.
build_and_test() {
    local tree=build/$1 target=$2
    shift 2
    cmake -S . -B "$tree" -G Ninja "$@"
    cmake --build "$tree" --target "$target"
    ctest --test-dir "$tree" --output-on-failure --timeout 300 -j "$(nproc)"
}

# Line tables (-g1) are all a backtrace or a sanitizer's report needs; full
# debug information makes every tree build a quarter slower.
build_and_test test all -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
# Debug keeps Qt's and our own assertions on; -O1 keeps the strength model's
# exhaustive comparison from taking minutes under the sanitizers.
build_and_test asan all -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" -DLEXIGLOW_SANITIZE=ON
# Only the fuzzers and the list file code they take on: the tests have just
# run under the same sanitizers.
build_and_test fuzz fuzzers -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" \
    -DCMAKE_CXX_COMPILER=clang++-14 -DLEXIGLOW_FUZZ=ON -DBUILD_TESTING=OFF
