#!/bin/sh
# Sets up, builds and runs every test; then runs the lower layers' tests once more,
# built with AddressSanitizer and UndefinedBehaviorSanitizer (unoptimised, with line
# tables only: the quickest build whose reports still name the lines).
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
(cd build && ctest --output-on-failure -j"$(nproc)")
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
    -DTAVIMOND_SANITIZE=ON -DTAVIMOND_BENCH=OFF -DTAVIMOND_WERROR=ON
cmake --build build-sanitize -j"$(nproc)" --target core_tests db_tests ui_tests
cd build-sanitize
ctest --output-on-failure -j"$(nproc)" -R '^(core|db|ui)_tests$'
