// The saver window on Windows: a borderless, topmost window without a task-bar
// button, maximised over the primary monitor, with the board surface picMain
// at its top-left. It carries out what the saver's logic asks of it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/Handles.h"
#include "platform/SaverInput.h"
#include "platform/VisibilityNotifications.h"
#include "platform/Window.h"
#include "saver/frmMain.h"

namespace gridbloom::win {

class SaverWindow final : public Window, public SaverHost {
public:
    // openSettings opens the settings window; it returns false when it could not.
    SaverWindow(const ColorFile& colorFile, RandomSource& random, std::function<bool()> openSettings);

    // Creates the window, hidden, with its surface. False when it could not
    // be created.
    bool CreateHidden();
    frmMain& Logic() { return logic_; }

    // SaverHost
    bool ClaimSingleInstance() override;
    void MarkMaximised() override;
    ScreenPoint GetCursorPos() override;
    std::optional<ScreenPoint> PointerPosition() override;
    void ShowWindow() override;
    void HideWindow() override;
    // Closes the window without running any of the saver's handlers.
    void CloseWindow() override;
    void EnableTimer(SaverTimer timer) override;
    void OpenSettingsWindow() override;
    void RaiseRunningSettingsWindow() override;
    PixelSize SurfaceSize() override;
    void PresentFrame(const PixelFrame& frame, const std::vector<PixelRect>& rects) override;

private:
    // Window
    void OnDestroy() override;
    bool OnTimer(UINT_PTR id) override;
    bool OnKeyDown() override;
    bool OnActivate(bool active) override;
    bool OnActivateApp(bool active) override;
    bool OnSysCommand(UINT command) override;
    bool OnDisplayChange() override;
    bool OnPowerBroadcast(WPARAM event, LPARAM data) override;
    bool OnSessionChange(WPARAM event) override;
    bool OnGetMinMaxInfo(MINMAXINFO& info) override;
    bool OnDpiChanged(UINT dpi, const RECT& suggested) override;

    void PaintSurface(HDC dc);
    // Opens and closes covers so that every monitor but the primary one has
    // exactly one.
    void UpdateCovers();

    frmMain logic_;
    BoardSurface surface_;
    std::vector<std::unique_ptr<CoverWindow>> covers_;
    std::function<bool()> openSettings_;
    UniqueKernelHandle instanceGuard_;
    VisibilityNotifications notifications_;
    bool maximised_ = false;
    HDC paintDc_ = nullptr;  // set while the surface handles WM_PAINT
};

}  // namespace gridbloom::win
