#!/bin/sh
# Configures and builds into build/ (warnings are errors): the targets named, or
# everything when none is.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTAVIMOND_WERROR=ON
if [ $# -gt 0 ]; then
    set -- --target "$@"
fi
cmake --build build -j"$(nproc)" "$@"
