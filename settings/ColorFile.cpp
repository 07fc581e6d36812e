#include "settings/ColorFile.h"

#include <optional>

namespace gridbloom {

std::wstring MyPath(std::wstring_view programFolder) {
    std::wstring path(programFolder);
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}

std::wstring FolderOfFile(std::wstring_view filePath) {
    const std::size_t slash = filePath.find_last_of(L'\\');
    if (slash == std::wstring_view::npos) return std::wstring();
    // Keep the "\" of a root ("C:\", or "\" alone) so that it stays a root.
    const bool isRoot = slash == 0 || (slash == 2 && filePath[1] == L':');
    return std::wstring(filePath.substr(0, isRoot ? slash + 1 : slash));
}

std::string_view FirstLine(std::string_view text) { return text.substr(0, text.find_first_of("\r\n")); }

CellColor ColorFile::LoadCellColor() const {
    const std::optional<std::string> text = files_.ReadPrefix(path_, SettingsReadLimit);
    if (!text) return CellColor::FromInteger(DefaultCellColor);
    return CellColor::FromText(std::string(FirstLine(*text)));
}

bool ColorFile::SaveCellColor(const CellColor& color) const {
    const std::string line = color.ToFileText() + "\r\n";
    if (!files_.WriteFlushed(tempPath_, line) || !files_.Replace(tempPath_, path_)) {
        files_.Remove(tempPath_);
        return false;
    }
    return true;
}

}  // namespace gridbloom
