#include "settings/CellColor.h"

#include <optional>
#include <string_view>

namespace gridbloom {
namespace {

// Leading zeros are accepted; more digits than this cannot be a colour that a
// person wrote, and the bound keeps the conversion free of overflow.
constexpr std::size_t MaxColorDigits = 16;

std::optional<std::uint32_t> ParseColorText(std::string_view text) {
    if (text.empty() || text.size() > MaxColorDigits) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > static_cast<std::uint64_t>(LargestColor)) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<std::uint32_t> ValidColor(std::int32_t value) {
    if (value < 0 || value > LargestColor) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::uint32_t CellColor::ToColorRef() const {
    const std::optional<std::uint32_t> color =
        IsText() ? ParseColorText(std::get<std::string>(value_)) : ValidColor(std::get<std::int32_t>(value_));
    return color.value_or(static_cast<std::uint32_t>(DefaultCellColor));
}

std::string CellColor::ToFileText() const {
    if (IsText()) {
        const std::string& text = std::get<std::string>(value_);
        if (ParseColorText(text)) return text;
    }
    return std::to_string(ToColorRef());
}

}  // namespace gridbloom
