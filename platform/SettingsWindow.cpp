#include "platform/SettingsWindow.h"

#include "platform/Dpi.h"
#include "platform/MessageLoop.h"
#include "platform/Monitors.h"
#include "resources/resource.h"

namespace gridbloom::win {
namespace {

constexpr wchar_t SettingsClassName[] = L"gridbloom.frmAbout";
constexpr wchar_t Caption[] = L"version info.";
constexpr DWORD WindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD WindowExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;

}  // namespace

SettingsWindow::SettingsWindow(const ColorFile& colorFile, std::function<void()> closeSaver)
    : logic_(*this, colorFile), closeSaver_(std::move(closeSaver)) {}

bool SettingsWindow::Open() {
    const WindowClass settingsClass{SettingsClassName, ::LoadCursorW(nullptr, IDC_ARROW),
                                    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr, 0};
    if (!Register(settingsClass)) return false;
    // Opened without an owner: centred on the monitor that holds the pointer,
    // at that monitor's DPI from the start, so that it never opens at another
    // monitor's size and then jumps.
    POINT pointer{};
    if (!::GetCursorPos(&pointer)) pointer = POINT{0, 0};
    const UINT dpi = DpiAtPoint(pointer);
    const PixelRect frame = FrameForDpi(static_cast<int>(dpi));
    const PixelRect place = CentredIn(WorkAreaAt(pointer), frame.Width, frame.Height);
    if (!Create({SettingsClassName, Caption, WindowStyle, WindowExStyle, place, nullptr, 0})) return false;
    icon_.reset(static_cast<HICON>(
        ::LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_GRIDBLOOM), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    if (!CreateControls()) {
        ::DestroyWindow(Handle());
        return false;
    }
    const int windowDpi = static_cast<int>(DpiOf(Handle()));
    if (windowDpi != static_cast<int>(dpi)) {
        const PixelRect resized = FrameForDpi(windowDpi);
        ::SetWindowPos(Handle(), nullptr, 0, 0, resized.Width, resized.Height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LayOutControls(windowDpi);

    logic_.Load();
    ::ShowWindow(Handle(), SW_SHOWNORMAL);
    ::SetForegroundWindow(Handle());
    ::SetFocus(::GetDlgItem(Handle(), CmdOkId));
    SetKeyboardDialog(Handle());
    return true;
}

void SettingsWindow::RaiseOpenWindow() {
    const HWND open = ::FindWindowW(SettingsClassName, Caption);
    if (open) ::SetForegroundWindow(open);
}

PixelRect SettingsWindow::FrameForDpi(int dpi) {
    return FrameForClient(ToPixels(about_layout::Client, dpi), WindowStyle, WindowExStyle, static_cast<UINT>(dpi));
}

void SettingsWindow::OnPaint(HDC dc) {
    // Image1: the program icon stretched to its box.
    const PixelRect image = ToPixels(about_layout::Image1, dpi_);
    if (icon_) ::DrawIconEx(dc, image.Left, image.Top, icon_.get(), image.Width, image.Height, 0, nullptr, DI_NORMAL);
}

bool SettingsWindow::OnClose() {
    logic_.OnUnload();
    ::DestroyWindow(Handle());
    return true;
}

void SettingsWindow::OnDestroy() { SetKeyboardDialog(nullptr); }

bool SettingsWindow::OnCommand(WORD id, WORD code) {
    if (id == CmdOkId && code == BN_CLICKED) {
        logic_.OnOkClick();
        return true;
    }
    // The dialog manager reports Enter as IDOK (the window has no default
    // button) and Esc as IDCANCEL. Enter presses cmdOK only while it has the
    // focus; Esc does nothing.
    if (id == IDOK) {
        const HWND ok = ::GetDlgItem(Handle(), CmdOkId);
        if (ok && ::GetFocus() == ok) logic_.OnOkClick();
        return true;
    }
    return id == IDCANCEL;
}

bool SettingsWindow::OnActivate(bool active) {
    // The focus comes back where it was when the user left the window, as in
    // a dialog: Enter and Space press OK again once OK had it.
    if (!active) {
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus)) focusWhenLeft_ = focus;
        return false;
    }
    const HWND focus = focusWhenLeft_ && ::IsWindow(focusWhenLeft_) ? focusWhenLeft_ : ::GetDlgItem(Handle(), CmdOkId);
    if (!focus) return false;
    ::SetFocus(focus);
    return true;
}

bool SettingsWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    // Moved onto a monitor of another DPI: the system's suggested rectangle
    // keeps the window where the user put it, at the new size.
    LayOutControls(static_cast<int>(dpi));
    ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool SettingsWindow::OnEndSession(bool ending) {
    // Windows is ending the session: the window closes without WM_CLOSE,
    // and the colour is saved as on any other close.
    if (ending) logic_.OnUnload();
    return true;
}

// --- what the logic asks of the window -------------------------------------

void SettingsWindow::SetPreviewColor(std::uint32_t colorRef) {
    if (preview_) preview_->SetColor(colorRef);
}

void SettingsWindow::CloseSaverWindow() {
    if (closeSaver_) closeSaver_();
}

void SettingsWindow::CloseWindow() {
    if (Handle()) ::SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

}  // namespace gridbloom::win
