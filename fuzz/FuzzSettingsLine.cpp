// libFuzzer target: the contents of gridbloom.dat.
//
// The input is the whole settings file. It is loaded through an in-memory
// file system, turned into a colour and a line to store, saved and loaded
// again. Any broken rule aborts, and libFuzzer keeps the input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "settings/CellColor.h"
#include "settings/ColorFile.h"
#include "settings/SettingsFileSystem.h"
#include "fuzz/FuzzCheck.h"

namespace {

using gridbloom::CellColor;
using gridbloom::ColorFile;

class MemoryFiles final : public gridbloom::SettingsFileSystem {
public:
    std::optional<std::string> ReadPrefix(const std::wstring& path, std::size_t maxBytes) override {
        const auto found = files_.find(path);
        if (found == files_.end()) return std::nullopt;
        return found->second.substr(0, maxBytes);
    }
    bool WriteFlushed(const std::wstring& path, std::string_view data) override {
        files_[path] = std::string(data);
        return true;
    }
    bool Replace(const std::wstring& from, const std::wstring& to) override {
        const auto found = files_.find(from);
        if (found == files_.end()) return false;
        files_[to] = found->second;
        files_.erase(from);
        return true;
    }
    void Remove(const std::wstring& path) override { files_.erase(path); }

    std::map<std::wstring, std::string> files_;
};

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A colour line of up to 16 characters: a decimal number of ASCII digits no
// larger than 0x00FFFFFF.
std::optional<std::uint32_t> ColorOfLine(std::string_view line) {
    if (!IsDigits(line) || line.size() > 16) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : line) value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > static_cast<std::uint64_t>(gridbloom::LargestColor)) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// The colour a line of up to 16 characters draws with: its own, or else the
// default cyan.
std::uint32_t ExpectedColor(std::string_view line) {
    return ColorOfLine(line).value_or(static_cast<std::uint32_t>(gridbloom::DefaultCellColor));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string contents(reinterpret_cast<const char*>(data), size);

    // The first line: no line break in it, and it ends where the text does or
    // just before the first CR or LF.
    const std::string_view first = gridbloom::FirstLine(contents);
    FUZZ_CHECK(first.find_first_of("\r\n") == std::string_view::npos);
    FUZZ_CHECK(std::string_view(contents).substr(0, first.size()) == first);
    FUZZ_CHECK(first.size() == contents.size() || contents[first.size()] == '\r' || contents[first.size()] == '\n');

    MemoryFiles files;
    const std::wstring folder = gridbloom::MyPath(gridbloom::FolderOfFile(L"C:\\Windows\\System32\\gridbloom.scr"));
    const ColorFile colorFile(files, folder);
    files.files_[colorFile.Path()] = contents;

    const CellColor loaded = colorFile.LoadCellColor();
    FUZZ_CHECK(loaded.IsText());
    const std::uint32_t color = loaded.ToColorRef();
    FUZZ_CHECK(color <= 0x00FFFFFFu);

    // Only the start of a file is read: the line is the first line of that part.
    const std::string_view readLine =
        gridbloom::FirstLine(std::string_view(contents).substr(0, gridbloom::SettingsReadLimit));
    if (readLine.size() <= 16) FUZZ_CHECK(color == ExpectedColor(readLine));

    const std::string text = loaded.ToFileText();
    FUZZ_CHECK(IsDigits(text));
    FUZZ_CHECK(ExpectedColor(text) == color);
    if (ColorOfLine(readLine)) FUZZ_CHECK(text == readLine);  // a valid line stays as written
    if (!ColorOfLine(readLine) && readLine.size() <= 16) {
        FUZZ_CHECK(text == std::to_string(gridbloom::DefaultCellColor));
    }

    // Saving writes "digits\r\n" in the file's place and leaves no temporary file.
    FUZZ_CHECK(colorFile.SaveCellColor(loaded));
    FUZZ_CHECK(files.files_.size() == 1);
    const std::string& saved = files.files_.at(colorFile.Path());
    FUZZ_CHECK(saved.size() >= 3);
    FUZZ_CHECK(saved.compare(saved.size() - 2, 2, "\r\n") == 0);
    FUZZ_CHECK(IsDigits(std::string_view(saved).substr(0, saved.size() - 2)));
    FUZZ_CHECK(saved == text + "\r\n");

    // What was saved loads as the same colour, and saves as the same line.
    const CellColor reloaded = colorFile.LoadCellColor();
    FUZZ_CHECK(reloaded.ToColorRef() == color);
    FUZZ_CHECK(reloaded.ToFileText() == text);
    return 0;
}
