#include "platform/Window.h"

#include <windowsx.h>

namespace gridbloom::win {

int Window::openTopLevelWindows_ = 0;

Window::~Window() {
    if (window_) {
        // The object goes first: detach it so that late messages reach only
        // the default procedure.
        const HWND window = window_;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        Forget();
        ::DestroyWindow(window);
    }
}

bool Window::Register(const WindowClass& windowClass) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(Instance(), windowClass.Name, &existing)) return true;
    WNDCLASSEXW registered{};
    registered.cbSize = sizeof(registered);
    registered.lpfnWndProc = &Window::WindowProc;
    registered.hInstance = Instance();
    registered.hCursor = windowClass.Cursor;
    registered.hbrBackground = windowClass.Background;
    registered.hIcon = windowClass.Icon;
    registered.style = windowClass.Style;
    registered.lpszClassName = windowClass.Name;
    return ::RegisterClassExW(&registered) != 0;
}

bool Window::Create(const WindowArgs& args) {
    const auto menuOrId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.Id));
    return ::CreateWindowExW(args.ExStyle, args.ClassName, args.Caption, args.Style, args.Place.Left, args.Place.Top,
                             args.Place.Width, args.Place.Height, args.Parent, menuOrId, Instance(), this) != nullptr;
}

void Window::Forget() {
    window_ = nullptr;
    if (!topLevel_) return;
    topLevel_ = false;
    if (--openTopLevelWindows_ == 0) ::PostQuitMessage(0);
}

LRESULT CALLBACK Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        self->window_ = window;
        self->topLevel_ = (create->style & WS_CHILD) == 0;
        if (self->topLevel_) ++openTopLevelWindows_;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->Forget();
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = ::BeginPaint(window_, &paint);
            if (dc) {
                OnPaint(dc);
                ::EndPaint(window_, &paint);
            }
            return 0;
        }
        case WM_ERASEBKGND:
            if (OnEraseBackground()) return 1;
            break;
        case WM_TIMER:
            if (OnTimer(wParam)) return 0;
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (OnKeyDown()) return 0;
            break;
        case WM_LBUTTONDOWN:
            if (OnMouseDown(MouseButton::Left)) return 0;
            break;
        case WM_RBUTTONDOWN:
            if (OnMouseDown(MouseButton::Right)) return 0;
            break;
        case WM_MBUTTONDOWN:
            if (OnMouseDown(MouseButton::Middle)) return 0;
            break;
        case WM_XBUTTONDOWN:
            if (OnMouseDown(MouseButton::Extra)) return TRUE;
            break;
        case WM_MOUSEMOVE:
            if (OnMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) return 0;
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (OnFocusChanged()) return 0;
            break;
        case WM_CLOSE:
            if (OnClose()) return 0;
            break;
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
            break;
        case WM_ACTIVATE:
            if (OnActivate(LOWORD(wParam) != WA_INACTIVE)) return 0;
            break;
        case WM_ACTIVATEAPP:
            if (OnActivateApp(wParam != FALSE)) return 0;
            break;
        case WM_SYSCOMMAND:
            // The low four bits are the system's own.
            if (OnSysCommand(static_cast<UINT>(wParam & 0xFFF0))) return 0;
            break;
        case WM_DISPLAYCHANGE:
            if (OnDisplayChange()) return 0;
            break;
        case WM_GETMINMAXINFO:
            if (OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam))) return 0;
            break;
        case WM_DPICHANGED:
            if (OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam))) return 0;
            break;
        case WM_POWERBROADCAST:
            if (OnPowerBroadcast(wParam, lParam)) return TRUE;
            break;
        case WM_WTSSESSION_CHANGE:
            if (OnSessionChange(wParam)) return 0;
            break;
        case WM_ENDSESSION:
            if (OnEndSession(wParam != FALSE)) return 0;
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace gridbloom::win
