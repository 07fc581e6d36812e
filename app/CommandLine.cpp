#include "app/CommandLine.h"

namespace gridbloom {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

}  // namespace

std::wstring_view ArgumentsOf(std::wstring_view fullCommandLine) {
    std::size_t i = 0;
    const std::size_t n = fullCommandLine.size();
    if (n > 0 && fullCommandLine[0] == L'"') {
        i = 1;
        while (i < n && fullCommandLine[i] != L'"') ++i;
        if (i < n) ++i;  // the closing quote ends the name
    } else {
        while (i < n && !IsBlank(fullCommandLine[i])) ++i;
    }
    while (i < n && IsBlank(fullCommandLine[i])) ++i;
    return fullCommandLine.substr(i);
}

Mode SelectMode(std::wstring_view arguments) {
    const std::wstring_view head = arguments.substr(0, 2);
    if (head.size() != 2 || head[0] != L'/') return Mode::None;
    switch (AsciiUpper(head[1])) {
        case L'S':
            return Mode::Run;
        case L'C':
            return Mode::Configure;
        default:
            return Mode::None;
    }
}

}  // namespace gridbloom
