// libFuzzer target: the command line the screen-saver host passes.
//
// The input is read as UTF-16 (little-endian code units, as Windows hands
// the command line over; an odd last byte is dropped). Any broken rule
// aborts, and libFuzzer keeps the input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/CommandLine.h"
#include "fuzz/FuzzCheck.h"

namespace {

using gridbloom::Mode;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The mode of the first two characters: "/S" or "/s" runs the saver, "/C" or
// "/c" opens the settings, anything else (or fewer than two) does nothing.
Mode ExpectedMode(std::wstring_view arguments) {
    if (arguments.size() < 2 || arguments[0] != L'/') return Mode::None;
    switch (arguments[1]) {
        case L'S':
        case L's':
            return Mode::Run;
        case L'C':
        case L'c':
            return Mode::Configure;
        default:
            return Mode::None;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring line;
    line.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        line.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }

    // The arguments are the end of the command line itself, after the name
    // and the blanks that follow it.
    const std::wstring_view arguments = gridbloom::ArgumentsOf(line);
    FUZZ_CHECK(arguments.size() <= line.size());
    const std::size_t start = line.size() - arguments.size();
    FUZZ_CHECK(arguments.data() == line.data() + start);
    FUZZ_CHECK(std::wstring_view(line).substr(start) == arguments);
    FUZZ_CHECK(arguments.empty() || !IsBlank(arguments.front()));

    // What was skipped is the name and then blanks. A quoted name ends at its
    // closing quote; any other name at its first blank.
    std::wstring_view name = std::wstring_view(line).substr(0, start);
    while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
    if (!line.empty() && line.front() == L'"') {
        FUZZ_CHECK(!name.empty());
        const std::size_t closing = name.find(L'"', 1);
        FUZZ_CHECK(closing == std::wstring_view::npos || closing == name.size() - 1);
        if (closing == std::wstring_view::npos) FUZZ_CHECK(arguments.empty());
    } else {
        FUZZ_CHECK(name.find_first_of(L" \t") == std::wstring_view::npos);
        if (!arguments.empty()) FUZZ_CHECK(name.size() < start);  // a blank ended the name
    }

    // The mode is that of the first two characters, whatever follows them.
    const Mode mode = gridbloom::SelectMode(arguments);
    FUZZ_CHECK(mode == ExpectedMode(arguments));
    if (arguments.size() >= 2) {
        const std::wstring head(arguments.substr(0, 2));
        FUZZ_CHECK(gridbloom::SelectMode(head) == mode);
        FUZZ_CHECK(gridbloom::SelectMode(head + L" /c") == mode);
        FUZZ_CHECK(gridbloom::SelectMode(head + L":1234") == mode);
        const std::wstring rest(line.rbegin(), line.rend());
        FUZZ_CHECK(gridbloom::SelectMode(head + rest) == mode);
    }
    // The whole line's mode follows the same rule when it has no name to skip.
    FUZZ_CHECK(gridbloom::SelectMode(line) == ExpectedMode(line));
    return 0;
}
