// Test doubles shared by the unit tests: a file system in memory that can be
// told to fail, a real one over a temporary folder, a host that records what
// the saver window asked of it, and scripted random numbers.
#pragma once

#include <cstdint>
#include <codecvt>
#include <cstdlib>  // mkdtemp
#include <filesystem>
#include <fstream>
#include <functional>
#include <locale>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "board/Seeding.h"
#include "saver/SaverHost.h"
#include "settings/SettingsFileSystem.h"

namespace gridbloom::testing {

using CallLog = std::vector<std::string>;

// UTF-8 for log lines and POSIX paths, whatever the locale the tests run in.
inline std::string Narrow(const std::wstring& text) {
    return std::wstring_convert<std::codecvt_utf8<wchar_t>>().to_bytes(text);
}

// Files in memory. Each operation can be made to fail, and every call is
// written to the log, so that tests see what was touched and in which order.
class MemoryFiles final : public SettingsFileSystem {
public:
    explicit MemoryFiles(CallLog* log = nullptr) : log_(log) {}

    std::map<std::wstring, std::string> Files;
    bool FailWrite = false;
    bool FailReplace = false;
    bool FailRead = false;
    std::size_t LastReadLimit = 0;

    std::optional<std::string> ReadPrefix(const std::wstring& path, std::size_t maxBytes) override {
        Log("read " + Narrow(path));
        LastReadLimit = maxBytes;
        const auto found = Files.find(path);
        if (FailRead || found == Files.end()) return std::nullopt;
        return found->second.substr(0, maxBytes);
    }
    bool WriteFlushed(const std::wstring& path, std::string_view data) override {
        Log("write " + Narrow(path));
        if (FailWrite) {
            Files[path] = std::string(data.substr(0, data.size() / 2));  // a torn write
            return false;
        }
        Files[path] = std::string(data);
        return true;
    }
    bool Replace(const std::wstring& from, const std::wstring& to) override {
        Log("replace " + Narrow(from) + " -> " + Narrow(to));
        const auto found = Files.find(from);
        if (FailReplace || found == Files.end()) return false;
        Files[to] = found->second;
        Files.erase(from);
        return true;
    }
    void Remove(const std::wstring& path) override {
        Log("remove " + Narrow(path));
        Files.erase(path);
    }

private:
    void Log(const std::string& entry) {
        if (log_) log_->push_back(entry);
    }
    CallLog* log_;
};

// Real files in a fresh temporary folder. Windows paths given to it ("\"
// separators, wide characters) are mapped onto the folder's POSIX paths.
class TemporaryFolderFiles final : public SettingsFileSystem {
public:
    TemporaryFolderFiles() {
        std::string pattern = (std::filesystem::temp_directory_path() / "gridbloom-test-XXXXXX").string();
        Root = std::filesystem::path(::mkdtemp(pattern.data()));
    }
    ~TemporaryFolderFiles() override {
        std::error_code ignored;
        std::filesystem::permissions(Root, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(Root, ignored);
    }
    TemporaryFolderFiles(const TemporaryFolderFiles&) = delete;
    TemporaryFolderFiles& operator=(const TemporaryFolderFiles&) = delete;

    std::filesystem::path Root;

    // The root as the program would see it: a Windows-style folder path.
    std::wstring WindowsRoot() const { return L"T:"; }

    std::filesystem::path Native(const std::wstring& path) const {
        std::string narrow = Narrow(path);
        if (narrow.rfind("T:", 0) == 0) narrow.erase(0, 2);
        for (char& c : narrow) {
            if (c == '\\') c = '/';
        }
        return Root / std::filesystem::path(narrow).relative_path();
    }

    void Put(const std::wstring& path, const std::string& data) const {
        std::filesystem::create_directories(Native(path).parent_path());
        std::ofstream(Native(path), std::ios::binary) << data;
    }
    std::optional<std::string> Get(const std::wstring& path) const {
        std::ifstream in(Native(path), std::ios::binary);
        if (!in) return std::nullopt;
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::optional<std::string> ReadPrefix(const std::wstring& path, std::size_t maxBytes) override {
        std::ifstream in(Native(path), std::ios::binary);
        if (!in) return std::nullopt;
        std::string text(maxBytes, '\0');
        in.read(text.data(), static_cast<std::streamsize>(maxBytes));
        text.resize(static_cast<std::size_t>(in.gcount()));
        return text;
    }
    bool WriteFlushed(const std::wstring& path, std::string_view data) override {
        std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.flush();
        return static_cast<bool>(out);
    }
    bool Replace(const std::wstring& from, const std::wstring& to) override {
        std::error_code error;
        std::filesystem::rename(Native(from), Native(to), error);
        return !error;
    }
    void Remove(const std::wstring& path) override {
        std::error_code ignored;
        std::filesystem::remove(Native(path), ignored);
    }
};

// Random numbers as a test says: the n-th draw over the source's life,
// counting from 0, is draw(n). Each reseed records how many draws had been
// made by then.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::function<float(int)> draw) : draw_(std::move(draw)) {}
    // The numbers of a script, then `after` once it has run out.
    explicit ScriptedRandom(std::vector<float> script = {}, float after = 0.0f)
        : draw_([script = std::move(script), after](int n) {
              return static_cast<std::size_t>(n) < script.size() ? script[static_cast<std::size_t>(n)] : after;
          }) {}

    int Draws = 0;
    std::vector<int> DrawsAtReseed;
    int Reseeds() const { return static_cast<int>(DrawsAtReseed.size()); }

    void ReseedFromClock() override { DrawsAtReseed.push_back(Draws); }
    float NextUnit() override { return draw_(Draws++); }

private:
    std::function<float(int)> draw_;
};

// A host that records each request of the saver window's logic.
class RecordingSaverHost final : public SaverHost {
public:
    explicit RecordingSaverHost(CallLog& log) : log_(log) {}

    bool AnotherCopy = false;
    ScreenPoint Cursor{640, 512};
    std::optional<ScreenPoint> Pointer;  // where the system says the pointer is now; unknown unless set
    int Width = 1054;
    int Height = 1054;
    int FramesPresented = 0;
    std::vector<PixelRect> Presented;  // the rectangles of the last frame presented
    struct ScreenPixels {
        ScreenPixels(int width = 0, int height = 0)
            : Width(width),
              Height(height),
              Pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xDEADBEEFu) {}
        int Width;
        int Height;
        std::vector<std::uint32_t> Pixels;  // what was never shown reads 0xDEADBEEF
        std::uint32_t At(int x, int y) const {
            return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)];
        }
        void Set(int x, int y, std::uint32_t pixel) {
            Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)] = pixel;
        }
    };
    ScreenPixels Screen;  // what the surface shows, frame by frame
    bool Closed = false;

    bool ClaimSingleInstance() override { return Log("ClaimSingleInstance"), !AnotherCopy; }
    void MarkMaximised() override { Log("MarkMaximised"); }
    ScreenPoint GetCursorPos() override { return Log("GetCursorPos"), Cursor; }
    std::optional<ScreenPoint> PointerPosition() override { return Pointer; }
    void ShowWindow() override { Log("ShowWindow"); }
    void HideWindow() override { Log("HideWindow"); }
    void CloseWindow() override {
        Log("CloseWindow");
        Closed = true;
    }
    void EnableTimer(SaverTimer timer) override { Log(timer == SaverTimer::Timer1 ? "EnableTimer1" : "EnableTimer2"); }
    void OpenSettingsWindow() override { Log("OpenSettingsWindow"); }
    void RaiseRunningSettingsWindow() override { Log("RaiseRunningSettingsWindow"); }
    PixelSize SurfaceSize() override { return {Width, Height}; }
    void PresentFrame(const PixelFrame& frame, const std::vector<PixelRect>& rects) override {
        Log("PresentFrame");
        ++FramesPresented;
        Presented = rects;
        // The screen as the window would show it: the frame's pixels in the
        // rectangles, what was there before elsewhere.
        if (Screen.Width != frame.Width || Screen.Height != frame.Height)
            Screen = ScreenPixels(frame.Width, frame.Height);
        for (const PixelRect& rect : rects) {
            for (int y = rect.Top; y < rect.Bottom(); ++y) {
                for (int x = rect.Left; x < rect.Right(); ++x) Screen.Set(x, y, frame.At(x, y));
            }
        }
    }

private:
    void Log(const char* entry) { log_.push_back(entry); }
    CallLog& log_;
};

}  // namespace gridbloom::testing
