#!/bin/sh
# Installs the Debian packages that the build, the tests and the demo need.
# Does nothing when they are all present.
set -eu

PACKAGES="cmake make g++ pkg-config
qt6-base-dev qt6-charts-dev libqt6opengl6-dev
unixodbc-dev libsqliteodbc
libgtest-dev libgmock-dev libbenchmark-dev
fonts-dejavu-core"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "These packages are missing; install them as root:$missing" >&2
    exit 1
fi
echo "Installing:$missing"
$SUDO apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
