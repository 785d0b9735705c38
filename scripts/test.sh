#!/bin/sh
# Sets up, builds and runs every test; then runs every test program once more, built
# with AddressSanitizer and UndefinedBehaviorSanitizer (unoptimised, with line tables
# only: the quickest build whose reports still name the lines).
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
(cd build && ctest --output-on-failure -j"$(nproc)")
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
    -DTAVIMOND_SANITIZE=ON -DTAVIMOND_BENCH=OFF -DTAVIMOND_WERROR=ON
cmake --build build-sanitize -j"$(nproc)" --target core_tests db_tests ui_tests \
    live_tests history_tests browsers_tests shell_tests manual_tests
cd build-sanitize
ctest --output-on-failure -j"$(nproc)"
