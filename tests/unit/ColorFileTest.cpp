#include "settings/ColorFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/unit/Fakes.h"

namespace gridbloom {
namespace {

using testing::CallLog;
using testing::MemoryFiles;
using testing::TemporaryFolderFiles;

constexpr std::uint32_t Cyan = 16776960;

TEST(CellColorTest, TextIsTurnedIntoAColourOnlyWhenItIsAValidDecimalColour) {
    struct Case {
        std::string text;
        std::uint32_t color;
        std::string savedAs;
    };
    const Case cases[] = {
        // clang-format off
        {"255", 255, "255"},
        {"16711935", 16711935, "16711935"},
        {"16776960", Cyan, "16776960"},
        {"0", 0, "0"},
        {"16777215", 16777215, "16777215"},
        {"0255", 255, "0255"},  // leading zeros still read as the number
        {"16777216", Cyan, "16776960"},
        {"99999999999999999999999", Cyan, "16776960"},
        {"", Cyan, "16776960"},
        {"-1", Cyan, "16776960"},
        {"+255", Cyan, "16776960"},
        {" 255", Cyan, "16776960"},
        {"255 ", Cyan, "16776960"},
        {"&HFF", Cyan, "16776960"},
        {"25 5", Cyan, "16776960"},
        {"1e3", Cyan, "16776960"},
        {"\xEF\xBC\x92\xEF\xBC\x95\xEF\xBC\x95", Cyan, "16776960"},  // full-width digits
        {std::string("25\0" "5", 4), Cyan, "16776960"},
        // clang-format on
    };
    for (const Case& c : cases) {
        const CellColor color = CellColor::FromText(c.text);
        EXPECT_TRUE(color.IsText());
        EXPECT_EQ(color.ToColorRef(), c.color) << "text \"" << c.text << "\"";
        EXPECT_EQ(color.ToFileText(), c.savedAs) << "text \"" << c.text << "\"";
    }
}

TEST(CellColorTest, IntegersOutsideTheColourRangeDrawAsCyan) {
    EXPECT_EQ(CellColor().ToColorRef(), Cyan);
    EXPECT_EQ(CellColor::FromInteger(0x00FF0000).ToColorRef(), 0x00FF0000u);
    EXPECT_EQ(CellColor::FromInteger(0x00FF0000).ToFileText(), "16711680");
    EXPECT_EQ(CellColor::FromInteger(-1).ToColorRef(), Cyan);
    EXPECT_EQ(CellColor::FromInteger(0x01000000).ToFileText(), "16776960");
}

TEST(ColorFilePathTest, TheFileLiesInTheProgramFolderBehindExactlyOneBackslash) {
    EXPECT_EQ(MyPath(L"C:\\Windows\\System32"), L"C:\\Windows\\System32\\");
    EXPECT_EQ(MyPath(L"C:\\"), L"C:\\");

    struct Case {
        const wchar_t* program;
        const wchar_t* settings;
    };
    const Case cases[] = {
        {L"C:\\Windows\\System32\\gridbloom.scr", L"C:\\Windows\\System32\\gridbloom.dat"},
        {L"C:\\gridbloom.scr", L"C:\\gridbloom.dat"},
        {L"\\\\server\\share\\gridbloom.scr", L"\\\\server\\share\\gridbloom.dat"},
        {L"Z:\\tmp\\グリッド テスト\\gridbloom.scr", L"Z:\\tmp\\グリッド テスト\\gridbloom.dat"},
    };
    MemoryFiles files;
    for (const Case& c : cases) {
        const ColorFile colorFile(files, MyPath(FolderOfFile(c.program)));
        EXPECT_EQ(colorFile.Path(), c.settings) << c.program;
        // The save's temporary file lies beside it and fits wherever it fits.
        EXPECT_EQ(FolderOfFile(colorFile.TempPath()), FolderOfFile(colorFile.Path())) << c.program;
        EXPECT_LE(colorFile.TempPath().size(), colorFile.Path().size()) << c.program;
    }
}

TEST(ColorFileTest, FirstLineEndsAtCrLfOrALoneCrOrLf) {
    struct Case {
        std::string text;
        std::string line;
    };
    const Case cases[] = {
        // clang-format off
        {"255\r\n", "255"},    {"255\n", "255"},          {"255\r", "255"},
        {"255", "255"},        {"255\r\nextra\r\n", "255"}, {"255\nextra", "255"},
        {"\r\n255", ""},       {"", ""},                  {"255\n\r16", "255"},
        // clang-format on
    };
    for (const Case& c : cases) EXPECT_EQ(FirstLine(c.text), c.line);
}

TEST(ColorFileTest, LoadKeepsTheFirstLineAsTextOrFallsBackToCyan) {
    MemoryFiles files;
    const ColorFile colorFile(files, L"C:\\Saver\\");

    const CellColor missing = colorFile.LoadCellColor();
    EXPECT_FALSE(missing.IsText());
    EXPECT_EQ(missing.ToColorRef(), Cyan);
    EXPECT_TRUE(files.Files.empty()) << "loading must not create the file";

    struct Case {
        std::string contents;
        std::uint32_t color;
    };
    const Case cases[] = {
        // clang-format off
        {"255\r\n", 255}, {"16711935\r\nmore\r\n", 16711935}, {"255\nextra", 255}, {"65280\r", 65280},
        {"", Cyan},       {"red\r\n", Cyan},                   {"\r\n255\r\n", Cyan},
        // clang-format on
    };
    for (const Case& c : cases) {
        files.Files[colorFile.Path()] = c.contents;
        const CellColor loaded = colorFile.LoadCellColor();
        EXPECT_TRUE(loaded.IsText());
        EXPECT_EQ(loaded.ToColorRef(), c.color) << c.contents;
    }
    EXPECT_LE(files.LastReadLimit, SettingsReadLimit);
}

TEST(ColorFileTest, SaveWritesATemporaryFileThenReplacesTheOldOne) {
    CallLog log;
    MemoryFiles files(&log);
    const ColorFile colorFile(files, L"C:\\S\\");

    ASSERT_TRUE(colorFile.SaveCellColor(CellColor::FromInteger(0x00FF0000)));
    EXPECT_EQ(files.Files.at(L"C:\\S\\gridbloom.dat"), "16711680\r\n");
    EXPECT_EQ(files.Files.count(L"C:\\S\\gridbloom.tmp"), 0u);
    const CallLog expected = {"write C:\\S\\gridbloom.tmp", "replace C:\\S\\gridbloom.tmp -> C:\\S\\gridbloom.dat"};
    EXPECT_EQ(log, expected);
}

TEST(ColorFileTest, AFailedSaveLeavesTheOldFileWholeAndNoTemporaryFile) {
    for (const bool failWrite : {true, false}) {
        MemoryFiles files;
        const ColorFile colorFile(files, L"C:\\S\\");
        files.Files[colorFile.Path()] = "255\r\n";
        files.FailWrite = failWrite;
        files.FailReplace = !failWrite;

        EXPECT_FALSE(colorFile.SaveCellColor(CellColor::FromInteger(0x00FF0000)));
        EXPECT_EQ(files.Files.at(colorFile.Path()), "255\r\n");
        EXPECT_EQ(files.Files.size(), 1u) << "the temporary file must be cleaned up";
    }
}

TEST(ColorFileTest, ValidTextRoundTripsUnchangedAndInvalidTextIsSavedAsTheColourShown) {
    struct Case {
        std::string contents;
        std::string saved;
    };
    const Case cases[] = {
        // clang-format off
        {"16776960\r\n", "16776960\r\n"},
        {"255\nextra", "255\r\n"},
        {"0255\r\n", "0255\r\n"},
        {"not a colour\r\n", "16776960\r\n"},
        {"", "16776960\r\n"},
        {"16777216", "16776960\r\n"},
        // clang-format on
    };
    for (const Case& c : cases) {
        MemoryFiles files;
        const ColorFile colorFile(files, L"C:\\S\\");
        files.Files[colorFile.Path()] = c.contents;
        ASSERT_TRUE(colorFile.SaveCellColor(colorFile.LoadCellColor()));
        EXPECT_EQ(files.Files.at(colorFile.Path()), c.saved) << c.contents;
    }
}

TEST(ColorFileOnDiskTest, WorksInAFolderWithSpacesAndJapaneseCharacters) {
    TemporaryFolderFiles disk;
    const std::wstring folder = disk.WindowsRoot() + L"\\グリッド テスト";
    std::filesystem::create_directories(disk.Native(folder));
    const ColorFile colorFile(disk, MyPath(folder));

    EXPECT_EQ(colorFile.LoadCellColor().ToColorRef(), Cyan);
    ASSERT_TRUE(colorFile.SaveCellColor(CellColor::FromInteger(255)));
    EXPECT_EQ(disk.Get(colorFile.Path()), std::optional<std::string>("255\r\n"));
    EXPECT_EQ(colorFile.LoadCellColor().ToColorRef(), 255u);
}

TEST(ColorFileOnDiskTest, AHugeFileWithoutALineEndIsNotReadWhole) {
    TemporaryFolderFiles disk;
    const ColorFile colorFile(disk, MyPath(disk.WindowsRoot()));
    disk.Put(colorFile.Path(), "");
    std::filesystem::resize_file(disk.Native(colorFile.Path()), 100u * 1024u * 1024u);  // 100 MB of zero bytes

    const CellColor loaded = colorFile.LoadCellColor();
    EXPECT_EQ(loaded.ToColorRef(), Cyan);
    EXPECT_EQ(loaded.ToFileText(), "16776960");
}

}  // namespace
}  // namespace gridbloom
