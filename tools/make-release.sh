#!/bin/bash
# Builds the release of gridbloom into build/release/:
#   gridbloom-<version>.zip        gridbloom.scr, readme.txt and LICENSE
#   gridbloom-<version>-setup.exe  the setup program (NSIS)
# and prints the paths of the two files.
#
# Installs NSIS from Debian's packages when makensis is missing; ends with
# code 3 when it cannot. The version is the one the setup script names.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

# Ends with code 3 (and a message) unless makensis is there or installed now.
ensure_makensis() {
    command -v makensis >/dev/null 2>&1 && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "make-release.sh: makensis is missing; install the package nsis as root" >&2
            exit 3
        fi
    fi
    # Only one apt-get may run at a time: wait for another one to finish.
    local waited=0
    while pgrep -x apt-get >/dev/null 2>&1 || pgrep -x dpkg >/dev/null 2>&1; do
        if [ "$waited" -ge 600 ]; then
            echo "make-release.sh: another apt-get still runs after 10 minutes" >&2
            exit 3
        fi
        sleep 2
        waited=$((waited + 2))
    done
    echo "make-release.sh: installing nsis"
    if ! { $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
           $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q nsis; } >&2; then
        echo "make-release.sh: could not install nsis" >&2
        exit 3
    fi
    if ! command -v makensis >/dev/null 2>&1; then
        echo "make-release.sh: nsis is installed but makensis is not found" >&2
        exit 3
    fi
}

nsi="$repo/installer/gridbloom.nsi"
version="$(sed -n 's/^!define VERSION "\([^"]*\)".*/\1/p' "$nsi")"
if [ -z "$version" ]; then
    echo "make-release.sh: no '!define VERSION' in installer/gridbloom.nsi" >&2
    exit 1
fi

ensure_makensis

cmake --preset windows >/dev/null
cmake --build --preset windows
scr="$repo/build/windows/gridbloom.scr"
icon="$repo/build/windows/resources/gridbloom.ico"

out="$repo/build/release"
mkdir -p "$out"
zip_file="$out/gridbloom-$version.zip"
setup_file="$out/gridbloom-$version-setup.exe"
rm -f "$zip_file" "$setup_file"

# The archive: three files at its top level.
if command -v zip >/dev/null 2>&1; then
    zip -q -X -j "$zip_file" "$scr" "$repo/installer/readme.txt" "$repo/LICENSE"
else
    /usr/bin/python3 - "$zip_file" "$scr" "$repo/installer/readme.txt" "$repo/LICENSE" <<'PY'
import os
import sys
import zipfile

archive, *members = sys.argv[1:]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
    for member in members:
        z.write(member, os.path.basename(member))
PY
fi

# makensis works in the script's folder: every path it is given is absolute.
makensis -V2 -DSCR_FILE="$scr" -DOUT_DIR="$out" -DICON_FILE="$icon" "$nsi"

for made in "$zip_file" "$setup_file"; do
    if [ ! -s "$made" ]; then
        echo "make-release.sh: $made was not made" >&2
        exit 1
    fi
done
echo "$zip_file"
echo "$setup_file"
