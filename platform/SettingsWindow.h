// The settings window on Windows ("version info."): a fixed-size tool window
// with the program's name and version, the sixteen colour swatches, the
// preview strip and the OK button.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

#include "platform/Handles.h"
#include "platform/Window.h"
#include "settings/SettingsLayout.h"
#include "settings/frmAbout.h"

namespace gridbloom::win {

// A colour box: picColor swatches and the picCol preview strip. A click on
// it is reported to its owner; keys do nothing to it.
class ColorBox final : public Window {
public:
    explicit ColorBox(std::function<void()> onClick) : onClick_(std::move(onClick)) {}
    bool CreateIn(HWND parent, const PixelRect& place, int id);
    void SetColor(std::uint32_t colorRef);

protected:
    bool OnEraseBackground(HDC dc) override;
    void OnPaint(HDC dc, const RECT& dirty) override;
    bool OnMouseDown() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::function<void()> onClick_;
    std::uint32_t color_ = 0;
};

class SettingsWindow final : public Window, private AboutHost {
public:
    SettingsWindow(const ColorFile& colorFile, std::function<void()> closeSaver);
    ~SettingsWindow() override;

    // Creates the window centred on the monitor that holds the pointer,
    // loads it and shows it. False when the window could not be created.
    bool Open();

private:
    // AboutHost
    void SetPreviewColor(std::uint32_t colorRef) override;
    void CloseSaverWindow() override;
    void CloseWindow() override;

    // Window
    bool OnCreate() override;
    void OnDestroy() override;
    void OnPaint(HDC dc, const RECT& dirty) override;
    bool OnClose() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnDpiChanged(UINT dpi, const RECT& suggested) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool CreateControls();
    void LayOut(int dpi);
    HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, int id);

    frmAbout logic_;
    std::function<void()> closeSaver_;
    std::array<std::unique_ptr<ColorBox>, Palette.size()> swatches_;
    std::unique_ptr<ColorBox> preview_;
    int dpi_ = 96;
    UniqueIcon icon_;
    UniqueFont label1Font_, label2Font_, label3Font_, frame1Font_, windowFont_;
};

}  // namespace gridbloom::win
