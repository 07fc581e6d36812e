// The base of every window of the program: it keeps the C++ object in the
// window's user data from WM_NCCREATE on and turns each message into a call
// of a named handler. The base owns BeginPaint and EndPaint.
#pragma once

#include <windows.h>

namespace gridbloom::win {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return window_; }

protected:
    // Registers a class whose windows are driven by this base, once per
    // process; false when that fails.
    static bool RegisterWindowClass(WNDCLASSEXW windowClass);

    // Creates the window with this object behind it; false when that fails.
    bool Create(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style, int x, int y,
                int width, int height, HWND parent, HMENU id);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcW(window_, message, wParam, lParam);
    }

    // Handlers; each returns true when it has dealt with the message.
    virtual bool OnCreate() { return true; }
    virtual void OnDestroy() {}
    virtual void OnPaint(HDC /*dc*/, const RECT& /*dirty*/) {}
    virtual bool OnEraseBackground(HDC /*dc*/) { return false; }
    virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
    virtual bool OnKeyDown(UINT /*key*/, bool /*systemKey*/) { return false; }
    virtual bool OnMouseDown() { return false; }
    virtual bool OnMouseMove(int /*x*/, int /*y*/) { return false; }
    virtual bool OnClose() { return false; }
    virtual bool OnCommand(WORD /*id*/, WORD /*code*/, HWND /*control*/) { return false; }
    virtual bool OnActivate(bool /*active*/) { return false; }
    virtual bool OnGetMinMaxInfo(MINMAXINFO& /*info*/) { return false; }
    virtual bool OnDpiChanged(UINT /*dpi*/, const RECT& /*suggested*/) { return false; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

}  // namespace gridbloom::win
