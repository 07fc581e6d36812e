#include "platform/SaverInput.h"

#include "resources/resource.h"

namespace gridbloom::win {
namespace {

constexpr wchar_t SurfaceClassName[] = L"gridbloom.picMain";
constexpr wchar_t CoverClassName[] = L"gridbloom.cover";
constexpr wchar_t CoverCaption[] = L"グリッドブルーム";

// Black windows with a pointer whose every pixel is transparent: it vanishes
// over them.
WindowClass InvisiblePointerClass(const wchar_t* name, UINT style = 0) {
    return {name, ::LoadCursorW(Window::Instance(), MAKEINTRESOURCEW(IDC_INVISIBLE)),
            static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)), nullptr, style};
}

}  // namespace

bool SaverInputWindow::OnKeyDown() {
    logic_.OnKeyDown();
    return true;
}

bool SaverInputWindow::OnMouseDown(MouseButton) {
    logic_.OnMouseDown();
    return true;
}

bool SaverInputWindow::OnMouseMove(POINT client) {
    POINT screen = client;
    if (!::ClientToScreen(Handle(), &screen)) return true;  // no position to compare: not a move
    logic_.OnMouseMove(static_cast<float>(screen.x), static_cast<float>(screen.y));
    return true;
}

bool BoardSurface::CreateIn(HWND parent, int size) {
    // A device context of its own: the surface is drawn on ten times a
    // second, and need not get one from the system each time.
    if (!Register(InvisiblePointerClass(SurfaceClassName, CS_OWNDC))) return false;
    return Create(
        {SurfaceClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, {0, 0, size, size}, parent, 1});
}

bool CoverWindow::CreateOver(HWND owner, const PixelRect& monitor) {
    monitor_ = monitor;
    if (!Register(InvisiblePointerClass(CoverClassName))) return false;
    if (!Create({CoverClassName, CoverCaption, WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, monitor,
                 owner, 0})) {
        return false;
    }
    ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    return true;
}

}  // namespace gridbloom::win
