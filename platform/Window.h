// The base of every window of the program: it keeps the C++ object in the
// window's user data from WM_NCCREATE on and turns each message into a call
// of a named handler. The base owns BeginPaint and EndPaint, and counts the
// top-level windows that are open, so that the message loop knows when the
// last one has gone.
#pragma once

#include <windows.h>

#include "settings/Twips.h"

namespace gridbloom::win {

enum class MouseButton { Left, Right, Middle, Extra };

// A window class whose windows are driven by this base.
struct WindowClass {
    const wchar_t* Name = nullptr;
    HCURSOR Cursor = nullptr;
    HBRUSH Background = nullptr;  // null: the window paints its own background
    HICON Icon = nullptr;
    UINT Style = 0;  // CS_ flags
};

// What a window is created with.
struct WindowArgs {
    const wchar_t* ClassName = nullptr;
    const wchar_t* Caption = L"";
    DWORD Style = 0;
    DWORD ExStyle = 0;
    PixelRect Place;        // in the parent's client area, or on the screen
    HWND Parent = nullptr;  // a child's parent, or a top-level window's owner
    int Id = 0;             // a child's control id
};

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return window_; }

    // The program's module, which holds its classes and resources.
    static HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }
    // Top-level windows created by this base and not yet destroyed.
    static int OpenTopLevelWindows() { return openTopLevelWindows_; }

protected:
    // Registers the class once per process; false when that fails.
    static bool Register(const WindowClass& windowClass);
    // Creates the window with this object behind it; false when that fails.
    bool Create(const WindowArgs& args);

    // Handlers. A handler that returns bool returns true when it has dealt
    // with the message, which then goes no further; false leaves it to the
    // default window procedure.
    virtual void OnDestroy() {}
    virtual void OnPaint(HDC /*dc*/) {}
    virtual bool OnEraseBackground() { return false; }
    virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
    virtual bool OnKeyDown() { return false; }  // WM_KEYDOWN and WM_SYSKEYDOWN
    virtual bool OnMouseDown(MouseButton /*button*/) { return false; }
    virtual bool OnMouseMove(POINT /*client*/) { return false; }
    virtual bool OnFocusChanged() { return false; }  // WM_SETFOCUS and WM_KILLFOCUS
    virtual bool OnClose() { return false; }
    virtual bool OnCommand(WORD /*id*/, WORD /*code*/) { return false; }
    virtual bool OnActivate(bool /*active*/) { return false; }
    // Another program's window is about to become the active one (false), or
    // one of this program's (true).
    virtual bool OnActivateApp(bool /*active*/) { return false; }
    virtual bool OnSysCommand(UINT /*command*/) { return false; }
    // Monitors were added, removed or changed their resolution.
    virtual bool OnDisplayChange() { return false; }
    virtual bool OnGetMinMaxInfo(MINMAXINFO& /*info*/) { return false; }
    virtual bool OnDpiChanged(UINT /*dpi*/, const RECT& /*suggested*/) { return false; }
    virtual bool OnEndSession(bool /*ending*/) { return false; }
    virtual bool OnPowerBroadcast(WPARAM /*event*/, LPARAM /*data*/) { return false; }
    virtual bool OnSessionChange(WPARAM /*event*/) { return false; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Forget();

    static int openTopLevelWindows_;
    HWND window_ = nullptr;
    bool topLevel_ = false;
};

}  // namespace gridbloom::win
