// The colour of live cells: a COLORREF (0x00BBGGRR, red in the low byte) held
// either as an integer or as the text of the settings file's first line,
// exactly as read. Text is turned into a colour only where it is used.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace gridbloom {

constexpr std::int32_t DefaultCellColor = 0x00FFFF00;  // cyan, 16776960
constexpr std::int32_t LargestColor = 0x00FFFFFF;

class CellColor {
public:
    CellColor() : value_(DefaultCellColor) {}
    static CellColor FromInteger(std::int32_t value) { return CellColor(Value(value)); }
    static CellColor FromText(std::string text) { return CellColor(Value(std::move(text))); }

    bool IsText() const { return std::holds_alternative<std::string>(value_); }

    // The colour to draw with. Text must be a decimal number of ASCII digits
    // no larger than 0x00FFFFFF, and an integer must lie in 0..0x00FFFFFF;
    // anything else draws as the default cyan, so the saver and the settings
    // preview always agree on what a bad file means.
    std::uint32_t ToColorRef() const;

    // The line to store: valid text goes back unchanged, an integer as its
    // decimal digits, and anything that is not a valid colour as the colour
    // that was shown in its place.
    std::string ToFileText() const;

private:
    using Value = std::variant<std::int32_t, std::string>;
    explicit CellColor(Value value) : value_(std::move(value)) {}

    Value value_;
};

}  // namespace gridbloom
