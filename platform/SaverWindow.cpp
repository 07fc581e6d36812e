#include "platform/SaverWindow.h"

#include "app/Twips.h"
#include "platform/Dpi.h"
#include "platform/MessageLoop.h"
#include "resources/resource.h"

namespace gridbloom::win {
namespace {

constexpr wchar_t SaverClassName[] = L"gridbloom.frmMain";
constexpr wchar_t SurfaceClassName[] = L"gridbloom.picMain";
constexpr wchar_t CoverClassName[] = L"gridbloom.cover";
constexpr wchar_t SaverCaption[] = L"グリッドブルーム";
constexpr int SurfaceSizeTwips = 15870;
constexpr UINT_PTR Timer1Id = 1;
constexpr UINT_PTR Timer2Id = 2;

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

// A class of black windows with the given pointer.
WNDCLASSEXW BlackWindowClass(const wchar_t* name, HCURSOR cursor) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.hInstance = Instance();
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = name;
    return windowClass;
}

HCURSOR InvisiblePointer() { return ::LoadCursorW(Instance(), MAKEINTRESOURCEW(IDC_INVISIBLE)); }

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
    reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back(
        ScreenRect{rect->left, rect->top, rect->right, rect->bottom});
    return TRUE;
}

}  // namespace

// --- picMain ---------------------------------------------------------------

bool BoardSurface::CreateIn(HWND parent, int size) {
    // A pointer whose every pixel is transparent: it vanishes over the board.
    if (!RegisterWindowClass(BlackWindowClass(SurfaceClassName, InvisiblePointer()))) return false;
    return Create(WS_EX_CLIENTEDGE, SurfaceClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, size, size,
                  parent, reinterpret_cast<HMENU>(1));
}

bool BoardSurface::OnEraseBackground(HDC) { return true; }  // every paint covers the whole inside

void BoardSurface::OnPaint(HDC dc, const RECT&) { owner_.PaintSurface(dc); }

bool BoardSurface::OnKeyDown(UINT, bool) {
    // System keys (Alt, F10, Alt+F4) count as key presses too, and must not
    // reach the default handling, which would close or open a menu.
    owner_.logic_.OnKeyDown();
    return true;
}

bool BoardSurface::OnMouseDown() {
    owner_.logic_.OnMouseDown();
    return true;
}

bool BoardSurface::OnMouseMove(int x, int y) {
    owner_.logic_.OnMouseMove(static_cast<float>(x), static_cast<float>(y));
    return true;
}

// --- the other monitors --------------------------------------------------

bool CoverWindow::CreateOver(HWND ownerWindow, const ScreenRect& monitor) {
    if (!RegisterWindowClass(BlackWindowClass(CoverClassName, InvisiblePointer()))) return false;
    // Owned by the saver window, so it goes when that window goes.
    if (!Create(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, CoverClassName, SaverCaption, WS_POPUP,
                monitor.Left, monitor.Top, monitor.Right - monitor.Left, monitor.Bottom - monitor.Top, ownerWindow,
                nullptr)) {
        return false;
    }
    ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    return true;
}

bool CoverWindow::OnEraseBackground(HDC) { return false; }  // the class's black brush

bool CoverWindow::OnKeyDown(UINT, bool) {
    owner_.logic_.OnKeyDown();
    return true;
}

bool CoverWindow::OnMouseDown() {
    owner_.logic_.OnMouseDown();
    return true;
}

bool CoverWindow::OnMouseMove(int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(Handle(), &point);
    owner_.logic_.OnScreenMouseMove(static_cast<float>(point.x), static_cast<float>(point.y));
    return true;
}

// --- frmMain ---------------------------------------------------------------

SaverWindow::SaverWindow(const ColorFile& colorFile, RandomSource& random, std::function<bool()> openSettings)
    : logic_(*this, colorFile, random), surface_(*this), openSettings_(std::move(openSettings)) {}

bool SaverWindow::Load(std::wstring_view arguments) {
    WNDCLASSEXW saverClass = BlackWindowClass(SaverClassName, ::LoadCursorW(nullptr, IDC_ARROW));
    saverClass.hIcon = ::LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_GRIDBLOOM));
    if (!RegisterWindowClass(saverClass)) return false;

    const RECT monitor = PrimaryMonitorRect();
    if (!Create(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, SaverClassName, SaverCaption, WS_POPUP | WS_CLIPCHILDREN,
                monitor.left, monitor.top, monitor.right - monitor.left, monitor.bottom - monitor.top, nullptr,
                nullptr)) {
        return false;
    }
    logic_.Load(arguments);
    return true;
}

void SaverWindow::Unload() {
    if (Handle()) ::DestroyWindow(Handle());
}

bool SaverWindow::OnCreate() {
    TopLevelWindowOpened();
    const int size = TwipsToPixels(SurfaceSizeTwips, static_cast<int>(DpiOf(Handle())));
    return surface_.CreateIn(Handle(), size);
}

void SaverWindow::OnDestroy() {
    covers_.clear();
    ::KillTimer(Handle(), Timer1Id);
    ::KillTimer(Handle(), Timer2Id);
    TopLevelWindowClosed();
}

bool SaverWindow::OnEraseBackground(HDC) { return false; }  // the class's black brush

bool SaverWindow::OnTimer(UINT_PTR id) {
    if (id == Timer1Id) {
        logic_.OnTimer1();
        return true;
    }
    if (id == Timer2Id) {
        logic_.OnTimer2();
        return true;
    }
    return false;
}

bool SaverWindow::OnKeyDown(UINT, bool) {
    // Keys reach the window itself only when the surface lost the focus;
    // they count all the same.
    logic_.OnKeyDown();
    return true;
}

bool SaverWindow::OnActivate(bool active) {
    if (active && surface_.Handle()) ::SetFocus(surface_.Handle());
    return active;
}

bool SaverWindow::OnGetMinMaxInfo(MINMAXINFO& info) {
    // Maximised, the window covers its whole monitor, task bar included.
    const RECT monitor = PrimaryMonitorRect();
    info.ptMaxPosition = {0, 0};
    info.ptMaxSize = {monitor.right - monitor.left, monitor.bottom - monitor.top};
    return true;
}

bool SaverWindow::OnDpiChanged(UINT dpi, const RECT&) {
    // The window stays over its monitor; only the surface follows the DPI.
    const int size = TwipsToPixels(SurfaceSizeTwips, static_cast<int>(dpi));
    ::SetWindowPos(surface_.Handle(), nullptr, 0, 0, size, size, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    return true;
}

RECT SaverWindow::PrimaryMonitorRect() const {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    const HMONITOR primary = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (primary && ::GetMonitorInfoW(primary, &info)) return info.rcMonitor;
    return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

void SaverWindow::PaintSurface(HDC dc) {
    paintDc_ = dc;
    logic_.OnPaint();
    paintDc_ = nullptr;
}

// --- what the logic asks of the window ------------------------------------

bool SaverWindow::IsAnotherCopyRunning() {
    instance_ = ClaimSingleInstance();
    return instance_.AnotherCopyRunning;
}

void SaverWindow::MaximiseWindow() { maximised_ = true; }

ScreenPoint SaverWindow::GetCursorPos() {
    POINT point{};
    ::GetCursorPos(&point);  // on failure the point stays (0, 0), as a start position it is harmless
    return ScreenPoint{point.x, point.y};
}

void SaverWindow::ShowWindow() {
    if (!Handle()) return;
    ::ShowWindow(Handle(), maximised_ ? SW_SHOWMAXIMIZED : SW_SHOW);
    CoverOtherMonitors();
    ::SetForegroundWindow(Handle());
    ::SetFocus(surface_.Handle());
}

void SaverWindow::CoverOtherMonitors() {
    std::vector<ScreenRect> monitors;
    if (!::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors))) return;
    const RECT primary = PrimaryMonitorRect();
    for (const ScreenRect& monitor :
         MonitorsToCover(monitors, ScreenRect{primary.left, primary.top, primary.right, primary.bottom})) {
        auto cover = std::make_unique<CoverWindow>(*this);
        // A monitor left uncovered is a pity, not a reason to stop the saver.
        if (cover->CreateOver(Handle(), monitor)) covers_.push_back(std::move(cover));
    }
}

void SaverWindow::HideWindow() {
    if (Handle()) ::ShowWindow(Handle(), SW_HIDE);
}

void SaverWindow::CloseWindow() {
    if (Handle()) ::DestroyWindow(Handle());
}

void SaverWindow::EnableTimer(SaverTimer timer) {
    if (!Handle()) return;
    const bool generation = timer == SaverTimer::Timer1;
    const UINT_PTR id = generation ? Timer1Id : Timer2Id;
    const UINT interval = generation ? Timer1IntervalMs : Timer2IntervalMs;
    if (::SetTimer(Handle(), id, interval, nullptr) == 0) {
        // Without its ticks the saver could never act on input and end:
        // better to end now than to cover the screen for good.
        ::DestroyWindow(Handle());
    }
}

void SaverWindow::OpenSettingsWindow() {
    if (!openSettings_ || !openSettings_()) CloseWindow();
}

ScreenPoint SaverWindow::SurfaceOrigin() {
    POINT origin{0, 0};
    if (surface_.Handle()) ::ClientToScreen(surface_.Handle(), &origin);
    return ScreenPoint{origin.x, origin.y};
}

PixelSize SaverWindow::SurfaceSize() {
    RECT inside{};
    if (!surface_.Handle() || !::GetClientRect(surface_.Handle(), &inside)) return PixelSize{};
    return PixelSize{inside.right - inside.left, inside.bottom - inside.top};
}

void SaverWindow::PresentFrame(const PixelFrame& frame) {
    if (!surface_.Handle() || frame.Width <= 0 || frame.Height <= 0) return;
    if (!::IsWindowVisible(Handle()) && !paintDc_) return;  // nothing on screen to show it on

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = frame.Width;
    info.bmiHeader.biHeight = -frame.Height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    auto show = [&](HDC dc) {
        // One call puts the whole frame on the screen: no frame is ever seen
        // half drawn.
        ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(frame.Width), static_cast<DWORD>(frame.Height), 0, 0, 0,
                            static_cast<UINT>(frame.Height), frame.Pixels.data(), &info, DIB_RGB_COLORS);
    };
    if (paintDc_) {
        show(paintDc_);
        return;
    }
    WindowDc dc(surface_.Handle());
    if (dc) show(dc.get());
}

}  // namespace gridbloom::win
