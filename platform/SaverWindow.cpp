#include "platform/SaverWindow.h"

#include "platform/Dpi.h"
#include "platform/FrameOnScreen.h"
#include "platform/Monitors.h"
#include "platform/Process.h"
#include "platform/SettingsWindow.h"
#include "resources/resource.h"
#include "saver/MonitorCover.h"
#include "saver/SurfaceSize.h"

namespace gridbloom::win {
namespace {

constexpr wchar_t SaverClassName[] = L"gridbloom.frmMain";
constexpr wchar_t SaverCaption[] = L"グリッドブルーム";
constexpr UINT_PTR Timer1Id = 1;
constexpr UINT_PTR Timer2Id = 2;

}  // namespace

SaverWindow::SaverWindow(const ColorFile& colorFile, RandomSource& random, std::function<bool()> openSettings)
    : logic_(*this, colorFile, random),
      surface_(logic_, [this](HDC dc) { PaintSurface(dc); }),
      openSettings_(std::move(openSettings)) {}

bool SaverWindow::CreateHidden() {
    const WindowClass saverClass{SaverClassName, ::LoadCursorW(nullptr, IDC_ARROW),
                                 static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)),
                                 ::LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_GRIDBLOOM)), 0};
    if (!Register(saverClass)) return false;
    if (!Create({SaverClassName, SaverCaption, WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                 PrimaryMonitor(), nullptr, 0})) {
        return false;
    }
    if (!surface_.CreateIn(Handle(), SurfaceSizePixels(static_cast<int>(DpiOf(Handle()))))) {
        CloseWindow();
        return false;
    }
    return true;
}

void SaverWindow::OnDestroy() {
    notifications_.Unregister();
    covers_.clear();
    ::KillTimer(Handle(), Timer1Id);
    ::KillTimer(Handle(), Timer2Id);
}

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

bool SaverWindow::OnKeyDown() {
    // Keys reach the window itself only when the surface lost the focus;
    // they count all the same.
    logic_.OnKeyDown();
    return true;
}

bool SaverWindow::OnActivate(bool active) {
    if (active && surface_.Handle()) ::SetFocus(surface_.Handle());
    return active;
}

bool SaverWindow::OnActivateApp(bool active) {
    if (!active) logic_.OnLostForeground();
    return false;
}

bool SaverWindow::OnSysCommand(UINT command) {
    // The system starts the screen saver with SC_SCREENSAVE; this one runs
    // already, and no second copy is to start over it.
    return command == SC_SCREENSAVE;
}

bool SaverWindow::OnDisplayChange() {
    if (!::IsWindowVisible(Handle())) return false;  // the saver does not run: nothing covers the screen
    // Back over the primary monitor, whatever became of it, and a cover over
    // every other one, so that no monitor shows the desktop and no cover left
    // from before hides the board.
    const PixelRect primary = PrimaryMonitor();
    ::SetWindowPos(Handle(), HWND_TOPMOST, primary.Left, primary.Top, primary.Width, primary.Height, SWP_NOACTIVATE);
    UpdateCovers();
    return true;
}

bool SaverWindow::OnPowerBroadcast(WPARAM event, LPARAM data) {
    if (const auto state = DisplayStateOf(event, data)) logic_.OnDisplayState(*state);
    return true;
}

bool SaverWindow::OnSessionChange(WPARAM event) {
    if (const auto change = SessionEventOf(event)) logic_.OnSessionEvent(*change);
    return true;
}

bool SaverWindow::OnGetMinMaxInfo(MINMAXINFO& info) {
    // Maximised, the window covers its whole monitor, task bar included.
    const PixelRect monitor = PrimaryMonitor();
    info.ptMaxPosition = {0, 0};
    info.ptMaxSize = {monitor.Width, monitor.Height};
    return true;
}

bool SaverWindow::OnDpiChanged(UINT dpi, const RECT&) {
    // The window stays over its monitor; only the surface follows the DPI.
    const int size = SurfaceSizePixels(static_cast<int>(dpi));
    ::SetWindowPos(surface_.Handle(), nullptr, 0, 0, size, size, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    return true;
}

void SaverWindow::PaintSurface(HDC dc) {
    paintDc_ = dc;
    logic_.OnPaint();
    paintDc_ = nullptr;
    // Beyond the board the surface is black: drawn here, when the window
    // shows it, and never by the ticks.
    RECT inside{};
    if (!::GetClientRect(surface_.Handle(), &inside)) return;
    const PixelFrame& frame = logic_.Frame();
    const auto black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    const RECT right{frame.Width, 0, inside.right, inside.bottom};
    const RECT below{0, frame.Height, frame.Width, inside.bottom};
    if (right.left < right.right) ::FillRect(dc, &right, black);
    if (below.top < below.bottom) ::FillRect(dc, &below, black);
}

void SaverWindow::UpdateCovers() {
    std::vector<PixelRect> covered;
    for (const auto& cover : covers_) covered.push_back(cover->Monitor());
    const CoverChange change = ChangeCovers(covered, AllMonitors(), PrimaryMonitor());
    for (auto index = change.Close.rbegin(); index != change.Close.rend(); ++index) {
        covers_.erase(covers_.begin() + static_cast<std::ptrdiff_t>(*index));
    }
    for (const PixelRect& monitor : change.Open) {
        auto cover = std::make_unique<CoverWindow>(logic_);
        // A monitor left uncovered is a pity, not a reason to stop the saver.
        if (cover->CreateOver(Handle(), monitor)) covers_.push_back(std::move(cover));
    }
}

// --- what the logic asks of the window ------------------------------------

bool SaverWindow::ClaimSingleInstance() {
    InstanceClaim claim = ClaimInstanceMutex();
    instanceGuard_ = std::move(claim.Mutex);
    return !claim.AnotherCopyRunning;
}

void SaverWindow::MarkMaximised() { maximised_ = true; }

ScreenPoint SaverWindow::GetCursorPos() {
    // On failure (0, 0): as a start position it is harmless.
    return PointerPosition().value_or(ScreenPoint{});
}

std::optional<ScreenPoint> SaverWindow::PointerPosition() {
    POINT point{};
    if (!::GetCursorPos(&point)) return std::nullopt;  // another desktop has the input, say
    return ScreenPoint{point.x, point.y};
}

void SaverWindow::ShowWindow() {
    if (!Handle()) return;
    ::ShowWindow(Handle(), maximised_ ? SW_SHOWMAXIMIZED : SW_SHOW);
    UpdateCovers();
    notifications_.Register(Handle());
    ::SetForegroundWindow(Handle());
    ::SetFocus(surface_.Handle());
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
        CloseWindow();
    }
}

void SaverWindow::OpenSettingsWindow() {
    if (!openSettings_ || !openSettings_()) CloseWindow();
}

void SaverWindow::RaiseRunningSettingsWindow() { SettingsWindow::RaiseOpenWindow(); }

PixelSize SaverWindow::SurfaceSize() {
    RECT inside{};
    if (!surface_.Handle() || !::GetClientRect(surface_.Handle(), &inside)) return PixelSize{};
    return PixelSize{inside.right - inside.left, inside.bottom - inside.top};
}

void SaverWindow::PresentFrame(const PixelFrame& frame, const std::vector<PixelRect>& rects) {
    if (!surface_.Handle() || frame.Width <= 0 || frame.Height <= 0) return;
    if (!::IsWindowVisible(Handle()) && !paintDc_) return;  // nothing on screen to show it on
    if (paintDc_) {
        ShowFrameRects(paintDc_, frame, rects);
        return;
    }
    WindowDc dc(surface_.Handle());
    if (dc) ShowFrameRects(dc.get(), frame, rects);
}

}  // namespace gridbloom::win
