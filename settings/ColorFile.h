// The settings file "gridbloom.dat" beside the program: one line holding the
// cell colour as a decimal number, ended by CR LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/CellColor.h"
#include "settings/SettingsFileSystem.h"

namespace gridbloom {

constexpr std::wstring_view SettingsFileName = L"gridbloom.dat";
// A save writes this file first. Its name is no longer than the settings
// file's, so that it can be made wherever the settings file can be: a folder
// near the path limit must not load its colour and then fail to save it.
constexpr std::wstring_view SaveTempFileName = L"gridbloom.tmp";
// Only this much of the file is ever read: a colour line is a few digits, and
// a huge file must not be loaded whole.
constexpr std::size_t SettingsReadLimit = 4096;

// The folder that holds the program file, ending in exactly one "\": the
// folder as the platform gives it, with "\" added unless it already ends in
// one (as a drive root such as "C:\" does).
std::wstring MyPath(std::wstring_view programFolder);

// The folder part of a program file's full path, as Windows reports it
// ("C:\Windows\System32" for "C:\Windows\System32\gridbloom.scr", "C:\" for
// "C:\gridbloom.scr").
std::wstring FolderOfFile(std::wstring_view filePath);

// The first line of the file's text: up to the first CR or LF, whichever
// comes first, or all of it when there is neither.
std::string_view FirstLine(std::string_view text);

class ColorFile {
public:
    ColorFile(SettingsFileSystem& files, std::wstring myPath)
        : files_(files),
          path_(myPath + std::wstring(SettingsFileName)),
          tempPath_(myPath + std::wstring(SaveTempFileName)) {}

    // The first line of the file, kept as text; the default cyan as an
    // integer when the file cannot be opened. Nothing is created.
    CellColor LoadCellColor() const;

    // Writes the colour's line to a temporary file beside the settings file,
    // flushes it, then puts it in the settings file's place, so that the old
    // file is either kept whole or replaced whole. False when it could not
    // be saved; the old file is then as it was.
    bool SaveCellColor(const CellColor& color) const;

    const std::wstring& Path() const { return path_; }
    const std::wstring& TempPath() const { return tempPath_; }

private:
    SettingsFileSystem& files_;
    std::wstring path_;
    std::wstring tempPath_;
};

}  // namespace gridbloom
