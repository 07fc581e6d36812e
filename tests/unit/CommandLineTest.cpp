#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace gridbloom {
namespace {

TEST(ArgumentsOfTest, SkipsTheProgramNameAndTheBlanksAfterIt) {
    struct Case {
        const wchar_t* commandLine;
        const wchar_t* arguments;
    };
    const Case cases[] = {
        {L"\"Z:\\tmp\\dir with space\\gridbloom.scr\" /S", L"/S"},
        {L"\"C:\\gridbloom.scr\"   \t/c:1234", L"/c:1234"},
        {L"C:\\Windows\\System32\\gridbloom.scr /p 65552", L"/p 65552"},
        {L"gridbloom.scr", L""},
        {L"\"C:\\gridbloom.scr\"", L""},
        {L"\"C:\\gridbloom.scr\"/S", L"/S"},  // no blank between name and switch
        {L"\"unterminated /S", L""},
        {L"", L""},
        {L"gridbloom.scr /s anything else", L"/s anything else"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::wstring(ArgumentsOf(c.commandLine)), c.arguments) << c.commandLine;
    }
}

TEST(SelectModeTest, ReadsOnlyTheFirstTwoCharactersUpperCased) {
    struct Case {
        const wchar_t* arguments;
        Mode mode;
    };
    const Case cases[] = {
        // clang-format off
        {L"/S", Mode::Run},          {L"/s", Mode::Run},          {L"/S:123", Mode::Run},
        {L"/s anything", Mode::Run}, {L"/C", Mode::Configure},    {L"/c", Mode::Configure},
        {L"/C:1234", Mode::Configure}, {L"", Mode::None},         {L"/", Mode::None},
        {L"/P 1234", Mode::None},    {L"/p", Mode::None},         {L"-s", Mode::None},
        {L"/X", Mode::None},         {L"S", Mode::None},          {L" /S", Mode::None},
        {L"\xFF0FS", Mode::None},    // a full-width slash is not a switch
        {L"/\x017F", Mode::None},    // a long s does not upper-case to S here
        // clang-format on
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SelectMode(c.arguments), c.mode) << c.arguments;
    }
}

}  // namespace
}  // namespace gridbloom
