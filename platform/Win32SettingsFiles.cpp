#include "platform/Win32SettingsFiles.h"

#include <windows.h>

#include "platform/Handles.h"

namespace gridbloom::win {

std::optional<std::string> Win32SettingsFiles::ReadPrefix(const std::wstring& path, std::size_t maxBytes) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::nullopt;

    std::string text(maxBytes, '\0');
    std::size_t filled = 0;
    while (filled < maxBytes) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(maxBytes - filled);
        if (!::ReadFile(file.get(), text.data() + filled, want, &got, nullptr)) {
            // The file was opened, so it exists: what could be read stands,
            // and an unreadable rest is treated as its end.
            break;
        }
        if (got == 0) break;
        filled += got;
    }
    text.resize(filled);
    return text;
}

bool Win32SettingsFiles::WriteFlushed(const std::wstring& path, std::string_view data) {
    UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!::WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr)) return false;
    if (written != data.size()) return false;
    if (!::FlushFileBuffers(file.get())) return false;
    file.reset();
    return true;
}

bool Win32SettingsFiles::Replace(const std::wstring& from, const std::wstring& to) {
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void Win32SettingsFiles::Remove(const std::wstring& path) { ::DeleteFileW(path.c_str()); }

}  // namespace gridbloom::win
