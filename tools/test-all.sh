#!/bin/bash
# Runs every test: the native unit tests (with AddressSanitizer and
# UndefinedBehaviorSanitizer), then the end-to-end tests of the cross-built
# gridbloom.scr under Wine on virtual displays of their own.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

bash tools/install-deps.sh

cmake --preset native >/dev/null
cmake --build --preset native -j 2
ctest --preset native -j 2

cmake --preset windows >/dev/null
cmake --build --preset windows -j 2
GRIDBLOOM_SCR="$repo/build/windows/gridbloom.scr" /usr/bin/python3 -m pytest -p no:cacheprovider -q tests/e2e
