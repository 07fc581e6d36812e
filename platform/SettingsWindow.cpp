#include "platform/SettingsWindow.h"

#include <commctrl.h>

#include "platform/Dpi.h"
#include "platform/MessageLoop.h"
#include "resources/resource.h"

namespace gridbloom::win {
namespace {

constexpr wchar_t SettingsClassName[] = L"gridbloom.frmAbout";
constexpr wchar_t ColorBoxClassName[] = L"gridbloom.picColor";
constexpr wchar_t Caption[] = L"version info.";
// The window's face first; where it is missing, Japanese sans-serif faces
// that are metric-alike or common, before leaving the choice to the font
// mapper (which may pick a face without Latin letters).
constexpr const wchar_t* FontFaces[] = {
    L"ＭＳ Ｐゴシック", L"MS PGothic", L"MS UI Gothic", L"Meiryo UI", L"Yu Gothic UI",
    L"IPAPGothic",     L"IPA Pゴシック", L"VL PGothic",  L"Noto Sans CJK JP",
};
constexpr wchar_t Label1Text[] = L"グリッドブルーム";
constexpr wchar_t Label2Text[] = L"ver.2.00";
constexpr wchar_t Label3Text[] = L"©2026";
constexpr DWORD WindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD WindowExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;

enum ControlId : int {
    Label1Id = 10,
    Label2Id,
    Label3Id,
    Frame1Id,
    Label4Id,
    CmdOkId = 100,
    PicColId = 300,
    FirstSwatchId = 200,  // + the swatch's picColor index
};

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool FaceExists(HDC dc, const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = SHIFTJIS_CHARSET;
    ::lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    ::EnumFontFamiliesExW(dc, &query, &NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

const wchar_t* JapaneseFace() {
    WindowDc screen(nullptr);
    if (screen) {
        for (const wchar_t* face : FontFaces) {
            if (FaceExists(screen.get(), face)) return face;
        }
    }
    return FontFaces[0];
}

UniqueFont MakeFontOfHeight(int height) {
    static const wchar_t* const face = JapaneseFace();
    return UniqueFont(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    VARIABLE_PITCH | FF_SWISS, face));
}

UniqueFont MakeFont(int hundredthsOfPoint, int dpi) {
    return MakeFontOfHeight(FontHeightPixels(hundredthsOfPoint, dpi));
}

int TextWidth(HFONT font, const wchar_t* text) {
    WindowDc screen(nullptr);
    if (!screen || !font) return 0;
    SelectObjectGuard select(screen.get(), font);
    SIZE extent{};
    if (!::GetTextExtentPoint32W(screen.get(), text, ::lstrlenW(text), &extent)) return 0;
    return extent.cx;
}

// The label's font, made smaller when a substitute face is wider than the
// face the layout was made for, so that the whole text shows in its box.
UniqueFont MakeFittingFont(int hundredthsOfPoint, int dpi, const wchar_t* text, int boxWidth) {
    const int height = FontHeightPixels(hundredthsOfPoint, dpi);
    UniqueFont font = MakeFontOfHeight(height);
    const int width = TextWidth(font.get(), text);
    if (width <= boxWidth || boxWidth <= 0) return font;
    const int fitted = static_cast<int>(static_cast<long long>(height) * boxWidth / width);
    UniqueFont smaller = MakeFontOfHeight(fitted);
    return smaller ? std::move(smaller) : std::move(font);
}

void Place(HWND control, const PixelRect& place) {
    ::SetWindowPos(control, nullptr, place.Left, place.Top, place.Width, place.Height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

COLORREF AsColorRef(std::uint32_t colorRef) { return static_cast<COLORREF>(colorRef); }

}  // namespace

// --- colour boxes ------------------------------------------------------------

bool ColorBox::CreateIn(HWND parent, const PixelRect& place, int id) {
    WNDCLASSEXW boxClass{};
    boxClass.cbSize = sizeof(boxClass);
    boxClass.hInstance = Instance();
    boxClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    boxClass.lpszClassName = ColorBoxClassName;
    if (!RegisterWindowClass(boxClass)) return false;
    // The sunken 3-D border of a drawing surface; a tab stop, as the boxes
    // are in the window's tab order.
    return Create(WS_EX_CLIENTEDGE, ColorBoxClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, place.Left,
                  place.Top, place.Width, place.Height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void ColorBox::SetColor(std::uint32_t colorRef) {
    color_ = colorRef;
    if (Handle()) ::InvalidateRect(Handle(), nullptr, FALSE);
}

bool ColorBox::OnEraseBackground(HDC) { return true; }  // the paint covers it all

void ColorBox::OnPaint(HDC dc, const RECT&) {
    RECT inside{};
    if (!::GetClientRect(Handle(), &inside)) return;
    UniqueBrush brush(::CreateSolidBrush(AsColorRef(color_)));
    if (brush) ::FillRect(dc, &inside, brush.get());
    if (::GetFocus() == Handle()) ::DrawFocusRect(dc, &inside);
}

bool ColorBox::OnMouseDown() {
    if (onClick_) onClick_();
    return true;
}

LRESULT ColorBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(Handle(), nullptr, FALSE);  // show or hide the focus rectangle
            return 0;
        case WM_LBUTTONDOWN:
            // Only the left button picks, as a click does; like any tab stop
            // the box takes the focus when clicked.
            ::SetFocus(Handle());
            if (OnMouseDown()) return 0;
            break;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            return Default(message, wParam, lParam);
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

// --- frmAbout ----------------------------------------------------------------

SettingsWindow::SettingsWindow(const ColorFile& colorFile, std::function<void()> closeSaver)
    : logic_(*this, colorFile), closeSaver_(std::move(closeSaver)) {}

SettingsWindow::~SettingsWindow() { SetKeyboardDialog(nullptr); }

bool SettingsWindow::Open() {
    WNDCLASSEXW settingsClass{};
    settingsClass.cbSize = sizeof(settingsClass);
    settingsClass.hInstance = Instance();
    settingsClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    settingsClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    settingsClass.lpszClassName = SettingsClassName;
    if (!RegisterWindowClass(settingsClass)) return false;

    // Opened without an owner: centred on the monitor that holds the pointer.
    POINT pointer{};
    if (!::GetCursorPos(&pointer)) pointer = POINT{0, 0};
    if (!Create(WindowExStyle, SettingsClassName, Caption, WindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr,
                nullptr)) {
        return false;
    }

    LayOut(static_cast<int>(DpiOf(Handle())));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (::GetMonitorInfoW(::MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY), &monitor)) area = monitor.rcWork;
    RECT frame{};
    ::GetWindowRect(Handle(), &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    ::SetWindowPos(Handle(), nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    logic_.Load();
    ::ShowWindow(Handle(), SW_SHOWNORMAL);
    ::SetForegroundWindow(Handle());
    ::SetFocus(::GetDlgItem(Handle(), CmdOkId));
    SetKeyboardDialog(Handle());
    return true;
}

bool SettingsWindow::OnCreate() {
    TopLevelWindowOpened();
    icon_.reset(static_cast<HICON>(
        ::LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_GRIDBLOOM), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    return CreateControls();
}

HWND SettingsWindow::CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, int id) {
    return ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, Handle(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
}

bool SettingsWindow::CreateControls() {
    // Created in tab order: Tab follows the order of creation.
    const bool made =
        CreateControl(L"STATIC", Label1Text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, Label1Id) &&
        CreateControl(L"STATIC", Label2Text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, Label2Id) &&
        CreateControl(L"BUTTON", L"OK", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, CmdOkId) &&
        CreateControl(L"STATIC", Label3Text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, Label3Id) &&
        CreateControl(L"BUTTON", L"Color", BS_GROUPBOX, Frame1Id);
    if (!made) return false;

    for (std::size_t i = 0; i < Palette.size(); ++i) {
        const Swatch& swatch = Palette[i];
        const int index = swatch.Index;
        swatches_[i] = std::make_unique<ColorBox>([this, index] { logic_.OnSwatchClick(index); });
        if (!swatches_[i]->CreateIn(Handle(), PixelRect{}, FirstSwatchId + index)) return false;
        swatches_[i]->SetColor(static_cast<std::uint32_t>(swatch.Color));
    }
    preview_ = std::make_unique<ColorBox>(nullptr);
    if (!preview_->CreateIn(Handle(), PixelRect{}, PicColId)) return false;

    return CreateControl(L"STATIC", L"カラーボックスをクリックするとカラーを変更できます。", SS_LEFT | SS_NOPREFIX,
                         Label4Id) != nullptr;
}

void SettingsWindow::LayOut(int dpi) {
    using namespace about_layout;
    dpi_ = dpi;

    RECT client{0, 0, ToPixels(Client, dpi).Width, ToPixels(Client, dpi).Height};
    ::AdjustWindowRectEx(&client, WindowStyle, FALSE, WindowExStyle);
    ::SetWindowPos(Handle(), nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    label1Font_ = MakeFittingFont(Label1Font, dpi, Label1Text, ToPixels(Label1, dpi).Width);
    label2Font_ = MakeFittingFont(Label2Font, dpi, Label2Text, ToPixels(Label2, dpi).Width);
    label3Font_ = MakeFittingFont(Label3Font, dpi, Label3Text, ToPixels(Label3, dpi).Width);
    frame1Font_ = MakeFont(Frame1Font, dpi);
    windowFont_ = MakeFont(WindowFont, dpi);

    struct Control {
        int id;
        TwipsRect place;
        HFONT font;
    };
    const Control controls[] = {
        {Label1Id, Label1, label1Font_.get()}, {Label2Id, Label2, label2Font_.get()},
        {Label3Id, Label3, label3Font_.get()}, {Frame1Id, Frame1, frame1Font_.get()},
        {Label4Id, Label4, windowFont_.get()}, {CmdOkId, cmdOK, windowFont_.get()},
    };
    for (const Control& control : controls) {
        const HWND window = ::GetDlgItem(Handle(), control.id);
        Place(window, ToPixels(control.place, dpi));
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), TRUE);
    }
    for (std::size_t i = 0; i < Palette.size(); ++i) {
        Place(swatches_[i]->Handle(), ToPixels(InFrame(Palette[i].InFrame()), dpi));
    }
    Place(preview_->Handle(), ToPixels(InFrame(picCol), dpi));
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void SettingsWindow::OnPaint(HDC dc, const RECT&) {
    // Image1: the program icon stretched to its box.
    const PixelRect image = ToPixels(about_layout::Image1, dpi_);
    if (icon_) ::DrawIconEx(dc, image.Left, image.Top, icon_.get(), image.Width, image.Height, 0, nullptr, DI_NORMAL);
}

bool SettingsWindow::OnClose() {
    logic_.OnUnload();
    ::DestroyWindow(Handle());
    return true;
}

void SettingsWindow::OnDestroy() {
    SetKeyboardDialog(nullptr);
    TopLevelWindowClosed();
}

bool SettingsWindow::OnCommand(WORD id, WORD code, HWND) {
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

bool SettingsWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut(static_cast<int>(dpi));
    return true;
}

LRESULT SettingsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENDSESSION) {
        // Windows is ending the session: the window closes without WM_CLOSE,
        // and the colour is saved as on any other close.
        if (wParam) logic_.OnUnload();
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
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
