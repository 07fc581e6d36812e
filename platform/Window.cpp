#include "platform/Window.h"

#include <windowsx.h>

namespace gridbloom::win {

Window::~Window() {
    if (window_) {
        // The object goes first: detach it so that late messages reach only
        // the default procedure.
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

bool Window::RegisterWindowClass(WNDCLASSEXW windowClass) {
    windowClass.lpfnWndProc = &Window::WindowProc;
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing)) return true;
    return ::RegisterClassExW(&windowClass) != 0;
}

bool Window::Create(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU id) {
    const HWND created = ::CreateWindowExW(exStyle, className, caption, style, x, y, width, height, parent, id,
                                           ::GetModuleHandleW(nullptr), this);
    return created != nullptr;
}

LRESULT CALLBACK Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = ::BeginPaint(window_, &paint);
            if (dc) {
                OnPaint(dc, paint.rcPaint);
                ::EndPaint(window_, &paint);
            }
            return 0;
        }
        case WM_ERASEBKGND:
            if (OnEraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
            break;
        case WM_TIMER:
            if (OnTimer(wParam)) return 0;
            break;
        case WM_KEYDOWN:
            if (OnKeyDown(static_cast<UINT>(wParam), false)) return 0;
            break;
        case WM_SYSKEYDOWN:
            if (OnKeyDown(static_cast<UINT>(wParam), true)) return 0;
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            if (OnMouseDown()) return message == WM_XBUTTONDOWN ? TRUE : 0;
            break;
        case WM_MOUSEMOVE:
            if (OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) return 0;
            break;
        case WM_CLOSE:
            if (OnClose()) return 0;
            break;
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
            break;
        case WM_ACTIVATE:
            if (OnActivate(LOWORD(wParam) != WA_INACTIVE)) return 0;
            break;
        case WM_GETMINMAXINFO:
            if (OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam))) return 0;
            break;
        case WM_DPICHANGED:
            if (OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam))) return 0;
            break;
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace gridbloom::win
