// The settings file's operations on Windows, through the wide-path W API so
// that folders with spaces and Japanese names work.
#pragma once

#include "settings/SettingsFileSystem.h"

namespace gridbloom::win {

class Win32SettingsFiles final : public SettingsFileSystem {
public:
    std::optional<std::string> ReadPrefix(const std::wstring& path, std::size_t maxBytes) override;
    bool WriteFlushed(const std::wstring& path, std::string_view data) override;
    bool Replace(const std::wstring& from, const std::wstring& to) override;
    void Remove(const std::wstring& path) override;
};

}  // namespace gridbloom::win
