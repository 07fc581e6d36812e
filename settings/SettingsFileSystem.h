// The file operations the colour file needs, behind an interface so that the
// load and save rules are tested without Windows. Paths are Windows paths.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gridbloom {

class SettingsFileSystem {
public:
    virtual ~SettingsFileSystem() = default;

    // At most maxBytes from the start of the file, or nothing when the file
    // cannot be opened for reading.
    virtual std::optional<std::string> ReadPrefix(const std::wstring& path, std::size_t maxBytes) = 0;

    // Creates or truncates the file, writes data and flushes it to the disk.
    // False when any step fails.
    virtual bool WriteFlushed(const std::wstring& path, std::string_view data) = 0;

    // Moves from over to, replacing to if it exists, in one step.
    virtual bool Replace(const std::wstring& from, const std::wstring& to) = 0;

    // Deletes the file if it exists; failures are ignored.
    virtual void Remove(const std::wstring& path) = 0;
};

}  // namespace gridbloom
