// The saver's windows whose input ends it: the board surface picMain and the
// black covers of the other monitors. Each passes keys (system keys too),
// every mouse button and pointer moves to the saver's logic in the same way;
// a move goes in screen pixels, turned from the window's own coordinates with
// its real offset on the screen.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/Window.h"
#include "saver/frmMain.h"

namespace gridbloom::win {

class SaverInputWindow : public Window {
public:
    explicit SaverInputWindow(frmMain& logic) : logic_(logic) {}

protected:
    // System keys (Alt, F10, Alt+F4) count as key presses too, and must not
    // reach the default handling, which would close or open a menu.
    bool OnKeyDown() override;
    bool OnMouseDown(MouseButton button) override;
    bool OnMouseMove(POINT client) override;

private:
    frmMain& logic_;
};

// picMain: the sunken-bordered black surface that shows the board, holds the
// keyboard focus and hides the pointer. Its paints are left to `paint`.
class BoardSurface final : public SaverInputWindow {
public:
    BoardSurface(frmMain& logic, std::function<void(HDC)> paint) : SaverInputWindow(logic), paint_(std::move(paint)) {}
    // A square of `size` pixels, border included, at the parent's top-left.
    bool CreateIn(HWND parent, int size);

protected:
    bool OnEraseBackground() override { return true; }  // every paint covers the whole inside
    void OnPaint(HDC dc) override { paint_(dc); }

private:
    std::function<void(HDC)> paint_;
};

// A plain black window over a monitor other than the primary one, owned by
// the saver window so that it goes when that window goes.
class CoverWindow final : public SaverInputWindow {
public:
    using SaverInputWindow::SaverInputWindow;
    bool CreateOver(HWND owner, const PixelRect& monitor);
    const PixelRect& Monitor() const { return monitor_; }

private:
    PixelRect monitor_;
};

}  // namespace gridbloom::win
