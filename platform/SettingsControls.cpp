#include "platform/SettingsWindow.h"

#include "platform/JapaneseFont.h"

// The settings window's controls: made in tab order, and laid out from their
// places in twips at the window's DPI, with their fonts at their point sizes.

namespace gridbloom::win {
namespace {

constexpr wchar_t Label1Text[] = L"グリッドブルーム";
constexpr wchar_t Label2Text[] = L"ver.2.00";
constexpr wchar_t Label3Text[] = L"©2026";
constexpr wchar_t Label4Text[] = L"カラーボックスをクリックするとカラーを変更できます。";

void Place(HWND control, const PixelRect& place) {
    ::SetWindowPos(control, nullptr, place.Left, place.Top, place.Width, place.Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

HWND SettingsWindow::CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, int id) {
    return ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, Handle(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
}

bool SettingsWindow::CreateControls() {
    // Created in tab order: Tab follows the order of creation.
    const bool made = CreateControl(L"STATIC", Label1Text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, Label1Id) &&
                      CreateControl(L"STATIC", Label2Text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, Label2Id) &&
                      CreateControl(L"BUTTON", L"OK", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, CmdOkId) &&
                      CreateControl(L"STATIC", Label3Text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, Label3Id) &&
                      CreateControl(L"BUTTON", L"Color", BS_GROUPBOX, Frame1Id);
    if (!made) return false;

    for (std::size_t i = 0; i < Palette.size(); ++i) {
        const Swatch& swatch = Palette[i];
        const int index = swatch.Index;
        swatches_[i] = std::make_unique<ColorBox>([this, index] { logic_.OnSwatchClick(index); });
        if (!swatches_[i]->CreateIn(Handle(), FirstSwatchId + index)) return false;
        swatches_[i]->SetColor(static_cast<std::uint32_t>(swatch.Color));
    }
    preview_ = std::make_unique<ColorBox>(nullptr);
    if (!preview_->CreateIn(Handle(), PicColId)) return false;
    return CreateControl(L"STATIC", Label4Text, SS_LEFT | SS_NOPREFIX, Label4Id) != nullptr;
}

void SettingsWindow::LayOutControls(int dpi) {
    using namespace about_layout;
    dpi_ = dpi;
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

}  // namespace gridbloom::win
