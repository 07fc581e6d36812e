#!/bin/sh
# Installs from Debian 12's packages what building gridbloom.scr and running
# its tests need: the mingw-w64 cross compiler, CMake and the native test
# libraries, Wine (32-bit), a virtual X display with its tools, and the
# Python modules of the end-to-end tests.
#
# Installs only what is missing, so it is quick and quiet when everything is
# already there, and safe to run again. Runs as root, or through sudo.
set -eu

PACKAGES="
g++-mingw-w64-i686-posix
binutils-mingw-w64-i686
cmake
g++
libgtest-dev
libbenchmark-dev
wine
wine32:i386
wine64
xvfb
xdotool
x11-utils
imagemagick
fonts-ipafont-gothic
python3-pytest
python3-pil
python3-numpy
python3-pefile
python3-xlib
nsis
"

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "install-deps.sh: run as root or install sudo" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive

is_installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = "installed" ]
}

missing=""
for pkg in $PACKAGES; do
    if ! is_installed "$pkg"; then
        missing="$missing $pkg"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

# wine32 is an i386 package: the architecture has to be known to dpkg first.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi

echo "install-deps.sh: installing$missing"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q
# shellcheck disable=SC2086  # the package list is meant to split into words
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing
