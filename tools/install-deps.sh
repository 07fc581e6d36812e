#!/bin/sh
# Installs from Debian 12's packages what building gridbloom.scr and running
# its tests need: the mingw-w64 cross compiler, CMake and the native test
# libraries, Wine, a virtual X display with its tools, and the Python modules
# of the end-to-end tests.
#
# It first checks what is missing, and is quick and quiet when nothing is, as
# any user. Installing needs root: it runs apt-get itself as root, or through
# sudo; without either it says what to run as root and stops.
#
# Packages come without their recommended packages (which would add systemd,
# GStreamer and Mesa for two architectures): the libraries Wine needs for the
# tests are named here instead.
set -eu

PACKAGES="
g++-mingw-w64-i686-posix
binutils-mingw-w64-i686
cmake
make
g++
libgtest-dev
libbenchmark-dev
wine
wine32:i386
wine64
fonts-wine
libxinerama1:i386
xvfb
xdotool
x11-xserver-utils
fonts-ipafont-gothic
python3-pytest
python3-pil
python3-numpy
python3-pefile
python3-xlib
nsis
"

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
steps="apt-get update -q && apt-get install -y -q --no-install-recommends$missing"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    steps="dpkg --add-architecture i386 && $steps"
fi

if [ "$(id -u)" -eq 0 ]; then
    run_as_root() { sh -c "$1"; }
elif command -v sudo >/dev/null 2>&1; then
    run_as_root() { sudo env DEBIAN_FRONTEND=noninteractive sh -c "$1"; }
else
    echo "install-deps.sh: these packages are missing:$missing" >&2
    echo "Install them as root, then run the command again:" >&2
    echo "    su -c '$steps'" >&2
    exit 1
fi

echo "install-deps.sh: installing$missing"
export DEBIAN_FRONTEND=noninteractive
run_as_root "$steps"
