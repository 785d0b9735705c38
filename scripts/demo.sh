#!/bin/sh
# Sets up, builds and starts Tavimond on the simulated instance of demo/, with the
# manual that the build wrote beside it, so that Help > Help Manual opens it.
set -eu
cd "$(dirname "$0")/.."
# Said before minutes of building: without a display, Qt's own message would only
# suggest reinstalling. A platform the user chose (QT_QPA_PLATFORM) is Qt's to judge.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Tavimond is a desktop program: it needs a desktop session, and neither DISPLAY nor" >&2
    echo "WAYLAND_DISPLAY is set. Run this script from a terminal of your desktop." >&2
    exit 1
fi
./scripts/setup.sh
# The program and its manual only; the tests and benchmarks are test.sh's.
./scripts/build.sh tavimond manual
cp build/Tavimond_Help.pdf demo/
cd demo
exec ../build/src/tavimond "$@"
