// A colour box of the settings window: the picColor swatches and the picCol
// preview strip. A surface with the sunken 3-D border, filled with its
// colour, in the tab order; a left click on it is reported to its owner, and
// no key does anything to it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "platform/Window.h"

namespace gridbloom::win {

class ColorBox final : public Window {
public:
    explicit ColorBox(std::function<void()> onClick) : onClick_(std::move(onClick)) {}
    // Created without a size: the window lays it out.
    bool CreateIn(HWND parent, int id);
    void SetColor(std::uint32_t colorRef);

protected:
    bool OnEraseBackground() override { return true; }  // the paint covers it all
    void OnPaint(HDC dc) override;
    bool OnMouseDown(MouseButton button) override;
    bool OnFocusChanged() override;

private:
    std::function<void()> onClick_;
    std::uint32_t color_ = 0;
};

}  // namespace gridbloom::win
