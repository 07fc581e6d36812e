#!/bin/bash
# Builds the libFuzzer targets of the portable code with clang (AddressSanitizer
# and UndefinedBehaviorSanitizer on) and runs each one for a bounded time,
# starting from its seed corpus in fuzz/corpus/.
#
#   fuzz/run.sh [SECONDS [LIBFUZZER OPTIONS...]]   SECONDS per target, 60 if not given
#
# Each run works on a temporary copy of the seed corpus, so the committed
# corpus never grows. Prints libFuzzer's coverage ("cov:", "ft:") and final
# statistics for each target. A failing input is kept in build/fuzz/crashes/
# and the script ends with code 1: turn that input into a unit test in
# tests/unit/. Needs clang and libclang-rt-14-dev (Debian packages).
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: fuzz/run.sh [SECONDS [LIBFUZZER OPTIONS...]]" >&2
    exit 2
fi
shift $(( $# > 0 ? 1 : 0 ))

cxx="${CXX:-}"
if [ -z "$cxx" ]; then
    for candidate in clang++ clang++-14; do
        if command -v "$candidate" >/dev/null 2>&1; then cxx="$candidate"; break; fi
    done
fi
if [ -z "$cxx" ]; then
    echo "fuzz/run.sh: clang++ is missing: apt-get install -y clang libclang-rt-14-dev" >&2
    exit 2
fi

out="$repo/build/fuzz"
mkdir -p "$out/crashes"
# shellcheck disable=SC2054  # the comma is part of one compiler option
flags=(-std=c++17 -g -O1 -fno-omit-frame-pointer -Wall -Wextra
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$repo")

# name, maximum input length in bytes, sources
targets=(
    "settings-line 8192 fuzz/FuzzSettingsLine.cpp settings/CellColor.cpp settings/ColorFile.cpp"
    "command-line 2048 fuzz/FuzzCommandLine.cpp app/CommandLine.cpp"
)
corpus_of() {
    case "$1" in
        settings-line) echo "$repo/fuzz/corpus/settings" ;;
        command-line) echo "$repo/fuzz/corpus/commandline" ;;
    esac
}

for target in "${targets[@]}"; do
    read -r name _ sources <<<"$target"
    echo "fuzz/run.sh: building fuzz-$name with $cxx"
    # shellcheck disable=SC2086  # the source list is meant to split into words
    "$cxx" "${flags[@]}" $sources -o "$out/fuzz-$name"
done

work=""
trap 'if [ -n "$work" ]; then rm -rf "$work"; fi' EXIT

failed=0
for target in "${targets[@]}"; do
    read -r name max_len _ <<<"$target"
    work="$(mktemp -d "${TMPDIR:-/tmp}/gridbloom-fuzz-$name.XXXXXX")"
    cp -R "$(corpus_of "$name")/." "$work/"
    log="$out/fuzz-$name.log"
    echo
    echo "== fuzz-$name: $seconds s from $(find "$work" -type f | wc -l) seed inputs (log: build/fuzz/fuzz-$name.log)"
    set +e
    "$out/fuzz-$name" -max_total_time="$seconds" -print_final_stats=1 -max_len="$max_len" \
        -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$out/crashes/$name-" "$@" \
        "$work" >"$log" 2>&1
    code=$?
    set -e
    grep -E "INITED|DONE|^stat::" "$log" || true
    if [ "$code" -ne 0 ]; then
        failed=1
        echo "fuzz-$name FAILED (exit code $code):"
        grep -E "ERROR|broken:|SUMMARY|Test unit written to|runtime error" "$log" || tail -n 30 "$log"
    else
        echo "fuzz-$name: no failure"
    fi
    rm -rf "$work"
    work=""
done
exit "$failed"
