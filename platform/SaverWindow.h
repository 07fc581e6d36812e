// The saver window on Windows: a borderless, topmost window without a task-bar
// button, maximised over the primary monitor, with the board surface picMain
// at its top-left. It carries out what the saver's logic asks of it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/Handles.h"
#include "platform/Process.h"
#include "platform/Window.h"
#include "saver/MonitorCover.h"
#include "saver/frmMain.h"

namespace gridbloom::win {

class SaverWindow;

// picMain: the sunken-bordered black surface that shows the board, holds the
// keyboard focus and hides the pointer.
class BoardSurface final : public Window {
public:
    explicit BoardSurface(SaverWindow& owner) : owner_(owner) {}
    bool CreateIn(HWND parent, int size);

protected:
    bool OnEraseBackground(HDC dc) override;
    void OnPaint(HDC dc, const RECT& dirty) override;
    bool OnKeyDown(UINT key, bool systemKey) override;
    bool OnMouseDown() override;
    bool OnMouseMove(int x, int y) override;

private:
    SaverWindow& owner_;
};

// A plain black window over a monitor other than the primary one. The pointer
// is invisible over it, and input on it counts as input on the board.
class CoverWindow final : public Window {
public:
    explicit CoverWindow(SaverWindow& owner) : owner_(owner) {}
    bool CreateOver(HWND ownerWindow, const ScreenRect& monitor);

protected:
    bool OnEraseBackground(HDC dc) override;
    bool OnKeyDown(UINT key, bool systemKey) override;
    bool OnMouseDown() override;
    bool OnMouseMove(int x, int y) override;

private:
    SaverWindow& owner_;
};

class SaverWindow final : public Window, private SaverHost {
public:
    // openSettings opens the settings window; it returns false when it could not.
    SaverWindow(const ColorFile& colorFile, RandomSource& random, std::function<bool()> openSettings);

    // Creates the hidden window and runs its load handler, the start-up
    // sequence. False when the window could not be created.
    bool Load(std::wstring_view arguments);

    // Closes the window without running any of the saver's handlers.
    void Unload();

private:
    friend class BoardSurface;
    friend class CoverWindow;

    // SaverHost
    bool IsAnotherCopyRunning() override;
    void MaximiseWindow() override;
    ScreenPoint GetCursorPos() override;
    void ShowWindow() override;
    void HideWindow() override;
    void CloseWindow() override;
    void EnableTimer(SaverTimer timer) override;
    void OpenSettingsWindow() override;
    ScreenPoint SurfaceOrigin() override;
    PixelSize SurfaceSize() override;
    void PresentFrame(const PixelFrame& frame) override;

    // Window
    bool OnCreate() override;
    void OnDestroy() override;
    bool OnEraseBackground(HDC dc) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnKeyDown(UINT key, bool systemKey) override;
    bool OnActivate(bool active) override;
    bool OnGetMinMaxInfo(MINMAXINFO& info) override;
    bool OnDpiChanged(UINT dpi, const RECT& suggested) override;

    void PaintSurface(HDC dc);
    RECT PrimaryMonitorRect() const;
    void CoverOtherMonitors();

    frmMain logic_;
    BoardSurface surface_;
    std::vector<std::unique_ptr<CoverWindow>> covers_;
    std::function<bool()> openSettings_;
    InstanceClaim instance_;
    bool maximised_ = false;
    HDC paintDc_ = nullptr;  // set while the surface handles WM_PAINT
};

}  // namespace gridbloom::win
