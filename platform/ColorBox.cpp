#include "platform/ColorBox.h"

#include "platform/Handles.h"

namespace gridbloom::win {
namespace {

constexpr wchar_t ColorBoxClassName[] = L"gridbloom.picColor";

}  // namespace

bool ColorBox::CreateIn(HWND parent, int id) {
    if (!Register({ColorBoxClassName, ::LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr, 0})) return false;
    return Create({ColorBoxClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, {}, parent, id});
}

void ColorBox::SetColor(std::uint32_t colorRef) {
    color_ = colorRef;
    if (Handle()) ::InvalidateRect(Handle(), nullptr, FALSE);
}

void ColorBox::OnPaint(HDC dc) {
    RECT inside{};
    if (!::GetClientRect(Handle(), &inside)) return;
    UniqueBrush brush(::CreateSolidBrush(static_cast<COLORREF>(color_)));
    if (brush) ::FillRect(dc, &inside, brush.get());
    if (::GetFocus() == Handle()) ::DrawFocusRect(dc, &inside);
}

bool ColorBox::OnMouseDown(MouseButton button) {
    // Only the left button picks, as a click does; like any tab stop the box
    // takes the focus when clicked.
    if (button != MouseButton::Left) return false;
    ::SetFocus(Handle());
    if (onClick_) onClick_();
    return true;
}

bool ColorBox::OnFocusChanged() {
    ::InvalidateRect(Handle(), nullptr, FALSE);  // shows or hides the focus rectangle
    return true;
}

}  // namespace gridbloom::win
