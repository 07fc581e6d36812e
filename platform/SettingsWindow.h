// The settings window on Windows ("version info."): a fixed-size tool window
// with the program's name and version, the sixteen colour swatches, the
// preview strip and the OK button.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

#include "platform/ColorBox.h"
#include "platform/Handles.h"
#include "platform/Window.h"
#include "settings/SettingsLayout.h"
#include "settings/frmAbout.h"

namespace gridbloom::win {

class SettingsWindow final : public Window, private AboutHost {
public:
    SettingsWindow(const ColorFile& colorFile, std::function<void()> closeSaver);

    // Creates the window centred on the monitor that holds the pointer,
    // loads it and shows it. False when the window could not be created.
    bool Open();

    // Brings the settings window that a copy of the program has open, if
    // any, to the front.
    static void RaiseOpenWindow();

private:
    enum ControlId : int {
        Label1Id = 10,
        Label2Id,
        Label3Id,
        Frame1Id,
        Label4Id,
        CmdOkId = 100,
        FirstSwatchId = 200,  // + the swatch's picColor index
        PicColId = 300,
    };

    // AboutHost
    void SetPreviewColor(std::uint32_t colorRef) override;
    void CloseSaverWindow() override;
    void CloseWindow() override;

    // Window
    void OnDestroy() override;
    void OnPaint(HDC dc) override;
    bool OnClose() override;
    bool OnActivate(bool active) override;
    bool OnCommand(WORD id, WORD code) override;
    bool OnDpiChanged(UINT dpi, const RECT& suggested) override;
    bool OnEndSession(bool ending) override;

    // The window's outer size for its client area at a DPI.
    static PixelRect FrameForDpi(int dpi);

    // In SettingsControls.cpp.
    bool CreateControls();
    HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, int id);
    void LayOutControls(int dpi);

    frmAbout logic_;
    std::function<void()> closeSaver_;
    std::array<std::unique_ptr<ColorBox>, Palette.size()> swatches_;
    std::unique_ptr<ColorBox> preview_;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    HWND focusWhenLeft_ = nullptr;
    UniqueIcon icon_;
    UniqueFont label1Font_, label2Font_, label3Font_, frame1Font_, windowFont_;
};

}  // namespace gridbloom::win
