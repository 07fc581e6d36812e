#include "settings/frmAbout.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/SettingsLayout.h"
#include "tests/unit/Fakes.h"

namespace gridbloom {
namespace {

using testing::CallLog;
using testing::MemoryFiles;
using testing::TemporaryFolderFiles;

// Records what the settings window asked for. Closing the window runs the
// logic's unload, as the real window's close does.
class RecordingAboutHost final : public AboutHost {
public:
    explicit RecordingAboutHost(CallLog& log) : log_(log) {}
    frmAbout* Window = nullptr;
    std::optional<std::uint32_t> Preview;
    bool SaverClosed = false;
    bool Closed = false;

    void SetPreviewColor(std::uint32_t colorRef) override {
        log_.push_back("SetPreviewColor " + std::to_string(colorRef));
        Preview = colorRef;
    }
    void CloseSaverWindow() override {
        log_.push_back(SaverClosed ? "CloseSaverWindow (already closed)" : "CloseSaverWindow");
        SaverClosed = true;
    }
    void CloseWindow() override {
        log_.push_back("CloseWindow");
        Window->OnUnload();
        Closed = true;
    }

private:
    CallLog& log_;
};

template <typename Files>
struct AboutFixture {
    CallLog log;
    Files files;
    ColorFile colorFile;
    RecordingAboutHost host{log};
    frmAbout window{host, colorFile};

    explicit AboutFixture(std::wstring folder) : colorFile(files, MyPath(folder)) { host.Window = &window; }
};

struct MemoryAbout : AboutFixture<MemoryFiles> {
    MemoryAbout() : AboutFixture<MemoryFiles>(L"C:\\Saver") {}
    std::string& File() { return files.Files[L"C:\\Saver\\gridbloom.dat"]; }
};

TEST(frmAboutTest, OpeningShowsTheLoadedColourInThePreview) {
    struct Case {
        std::optional<std::string> file;
        std::uint32_t preview;
    };
    const Case cases[] = {
        {std::nullopt, 16776960}, {"255\r\n", 255}, {"16711935", 16711935}, {"garbage\r\n", 16776960}, {"", 16776960},
    };
    for (const Case& c : cases) {
        MemoryAbout about;
        if (c.file) about.File() = *c.file;
        about.window.Load();
        EXPECT_EQ(about.host.Preview, c.preview) << c.file.value_or("(no file)");
    }
}

TEST(frmAboutTest, ClosingWithoutAClickSavesTheLoadedColour) {
    MemoryAbout about;
    about.window.Load();
    about.window.OnOkClick();
    EXPECT_EQ(about.File(), "16776960\r\n");
    EXPECT_TRUE(about.host.SaverClosed);
    EXPECT_TRUE(about.host.Closed);
}

TEST(frmAboutTest, TheLastSwatchClickedIsSaved) {
    MemoryAbout about;
    about.window.Load();
    about.window.OnSwatchClick(9);  // red
    EXPECT_EQ(about.host.Preview, 0x000000FFu);
    about.window.OnSwatchClick(21);  // blue
    EXPECT_EQ(about.host.Preview, 0x00FF0000u);
    about.window.OnUnload();  // the close box, Alt+F4 or the system
    EXPECT_EQ(about.File(), "16711680\r\n");
    EXPECT_TRUE(about.host.SaverClosed);
}

TEST(frmAboutTest, IndicesWithoutASwatchPickNothing) {
    for (const int index : {14, 17, 20, 23, -1, 1000}) {
        MemoryAbout about;
        about.File() = "255\r\n";
        about.window.Load();
        about.window.OnSwatchClick(index);
        EXPECT_EQ(about.host.Preview, 255u) << index;
        about.window.OnUnload();
        EXPECT_EQ(about.File(), "255\r\n") << index;
    }
}

TEST(frmAboutTest, OkClosesTheSaverWindowFirstThenSavesOnce) {
    MemoryAbout about;
    about.window.Load();
    about.window.OnSwatchClick(12);
    about.log.clear();
    about.window.OnOkClick();
    about.window.OnUnload();  // a second close request changes nothing
    const CallLog expected = {"CloseSaverWindow", "CloseWindow", "CloseSaverWindow (already closed)"};
    EXPECT_EQ(about.log, expected);
    EXPECT_EQ(about.File(), "65280\r\n");
}

TEST(frmAboutOnDiskTest, OnlyTheFirstLineSurvivesASave) {
    AboutFixture<TemporaryFolderFiles> about(L"T:");
    about.files.Put(about.colorFile.Path(), "255\nextra\r\n");
    about.window.Load();
    about.window.OnUnload();
    EXPECT_EQ(about.files.Get(about.colorFile.Path()), std::optional<std::string>("255\r\n"));
}

TEST(frmAboutOnDiskTest, AFileThatCannotBeReplacedIsLeftAsItWasAndTheWindowStillCloses) {
    AboutFixture<TemporaryFolderFiles> about(L"T:");
    // A folder where the settings file should be: nothing can replace it.
    std::filesystem::create_directories(about.files.Native(about.colorFile.Path()));
    about.files.Put(about.colorFile.Path() + L"\\keep", "x");
    about.window.Load();
    about.window.OnSwatchClick(9);
    about.window.OnOkClick();
    EXPECT_TRUE(about.host.Closed);
    EXPECT_TRUE(std::filesystem::is_directory(about.files.Native(about.colorFile.Path())));
    EXPECT_EQ(about.files.Get(about.colorFile.Path() + L"\\keep"), std::optional<std::string>("x"));
    EXPECT_FALSE(std::filesystem::exists(about.files.Native(about.colorFile.TempPath())));
}

TEST(SettingsLayoutTest, PaletteHasSixteenSwatchesInTwoRowsOfEight) {
    const std::int16_t indices[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 21, 22};
    ASSERT_EQ(Palette.size(), 16u);
    for (std::size_t i = 0; i < Palette.size(); ++i) {
        EXPECT_EQ(Palette[i].Index, indices[i]);
        EXPECT_EQ(Palette[i].Left, 240 + 480 * static_cast<int>(i % 8));
        EXPECT_EQ(Palette[i].Top, i < 8 ? 360 : 840);
    }
    EXPECT_EQ(FindSwatch(13)->Color, 0x00FFFF00);
    EXPECT_EQ(FindSwatch(21)->Color, 0x00FF0000);
    EXPECT_EQ(FindSwatch(22)->Color, 0x00FF00FF);
    EXPECT_EQ(FindSwatch(14), nullptr);
}

TEST(SettingsLayoutTest, TwipsBecomePixelsAtTheWindowsDpi) {
    struct Case {
        TwipsRect twips;
        int dpi;
        PixelRect pixels;
    };
    const Case cases[] = {
        {about_layout::Client, 96, {0, 0, 404, 215}},
        {about_layout::Client, 144, {0, 0, 606, 323}},  // 322.5 rounds up
        {about_layout::cmdOK, 96, {312, 176, 73, 25}},
        {about_layout::cmdOK, 144, {468, 264, 110, 38}},
        {InFrame(about_layout::picCol), 96, {32, 152, 249, 33}},
        {InFrame(Palette[0].InFrame()), 96, {32, 88, 25, 25}},
        {InFrame(Palette[15].InFrame()), 96, {256, 120, 25, 25}},
        {InFrame(Palette[15].InFrame()), 144, {384, 180, 38, 38}},
        {about_layout::Image1, 96, {8, 8, 33, 33}},
        {{0, 0, 15870, 15870}, 96, {0, 0, 1058, 1058}},
    };
    for (const Case& c : cases) {
        const PixelRect got = ToPixels(c.twips, c.dpi);
        EXPECT_EQ(got, c.pixels) << c.twips.Left << "," << c.twips.Top << " at " << c.dpi << " dpi: " << got.Left << ","
                                 << got.Top << " " << got.Width << "x" << got.Height;
    }
}

TEST(SettingsLayoutTest, FontSizesInPointsBecomePixelHeights) {
    EXPECT_EQ(FontHeightPixels(about_layout::Label1Font, 96), -27);
    EXPECT_EQ(FontHeightPixels(about_layout::Label2Font, 96), -16);
    EXPECT_EQ(FontHeightPixels(about_layout::Label3Font, 96), -19);
    EXPECT_EQ(FontHeightPixels(about_layout::Frame1Font, 96), -15);
    EXPECT_EQ(FontHeightPixels(about_layout::Label2Font, 144), -24);
}

TEST(SettingsLayoutTest, ALabelShrinksOnlyWhenItsTextIsWiderThanItsBox) {
    struct Case {
        int textWidth;
        int boxWidth;
        int height;
    };
    // Heights are negative, as CreateFont takes the height of the characters.
    const Case cases[] = {
        {150, 170, -27},  // fits
        {170, 170, -27},  // fits exactly
        {340, 170, -13},  // twice too wide: half the height, rounded towards zero
        {171, 170, -26},  // a pixel too wide: a pixel smaller
        {200, 0, -27},    // no box to fit
        {0, 170, -27},    // the text could not be measured
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FittedFontHeight(-27, c.textWidth, c.boxWidth), c.height) << c.textWidth << " in " << c.boxWidth;
    }
}

TEST(SettingsLayoutTest, TheWindowIsCentredInTheWorkAreaOfItsMonitor) {
    struct Case {
        PixelRect workArea;
        PixelRect window;
    };
    const Case cases[] = {
        {{0, 0, 1280, 984}, {435, 372, 410, 240}},
        {{0, 0, 1281, 985}, {435, 372, 410, 240}},           // odd margins round down
        {{-1280, -200, 1280, 1024}, {-845, 192, 410, 240}},  // a monitor left of the primary
        {{1920, 0, 800, 560}, {2115, 160, 410, 240}},
        {{0, 0, 400, 200}, {0, 0, 410, 240}},  // too large: the title bar stays on the screen
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CentredIn(c.workArea, 410, 240), c.window) << c.workArea.Left << "," << c.workArea.Top;
    }
}

}  // namespace
}  // namespace gridbloom
