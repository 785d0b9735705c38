#!/bin/sh
# Sets up, builds and starts Tavimond on the simulated instance of demo/.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
cd demo
exec ../build/src/tavimond "$@"
