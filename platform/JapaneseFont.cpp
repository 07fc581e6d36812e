#include "platform/JapaneseFont.h"

#include "settings/SettingsLayout.h"

namespace gridbloom::win {
namespace {

// The window's face first; where it is missing, Japanese sans-serif faces
// that are metric-alike or common, before leaving the choice to the font
// mapper (which may pick a face without Latin letters).
constexpr const wchar_t* FontFaces[] = {
    L"ＭＳ Ｐゴシック", L"MS PGothic",    L"MS UI Gothic", L"Meiryo UI",        L"Yu Gothic UI",
    L"IPAPGothic",      L"IPA Pゴシック", L"VL PGothic",   L"Noto Sans CJK JP",
};

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
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                                    face));
}

int TextWidth(HFONT font, const wchar_t* text) {
    WindowDc screen(nullptr);
    if (!screen || !font) return 0;
    SelectObjectGuard select(screen.get(), font);
    SIZE extent{};
    if (!::GetTextExtentPoint32W(screen.get(), text, ::lstrlenW(text), &extent)) return 0;
    return extent.cx;
}

}  // namespace

UniqueFont MakeFont(int hundredthsOfPoint, int dpi) {
    return MakeFontOfHeight(FontHeightPixels(hundredthsOfPoint, dpi));
}

UniqueFont MakeFittingFont(int hundredthsOfPoint, int dpi, const wchar_t* text, int boxWidth) {
    const int height = FontHeightPixels(hundredthsOfPoint, dpi);
    UniqueFont font = MakeFontOfHeight(height);
    const int fitted = FittedFontHeight(height, TextWidth(font.get(), text), boxWidth);
    if (fitted == height) return font;
    UniqueFont smaller = MakeFontOfHeight(fitted);
    return smaller ? std::move(smaller) : std::move(font);
}

}  // namespace gridbloom::win
