#!/bin/sh
# Sets up, builds and starts Tavimond on the simulated instance of demo/, with the
# manual that the build wrote beside it, so that Help > Help Manual opens it.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
cp build/Tavimond_Help.pdf demo/
cd demo
exec ../build/src/tavimond "$@"
