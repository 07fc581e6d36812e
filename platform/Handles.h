// Owners for Windows handles, one type per kind of handle: the kind's close
// function and its "no handle" value are template arguments, so each kind is
// one alias line. A guard puts back what SelectObject replaced.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace gridbloom::win {

template <typename H, auto Close, std::intptr_t Invalid = 0>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != None(); }
    H release() { return std::exchange(handle_, None()); }
    void reset(H handle = None()) {
        if (handle_ != None()) Close(handle_);
        handle_ = handle;
    }

private:
    static H None() { return reinterpret_cast<H>(Invalid); }

    H handle_ = None();
};

using UniqueKernelHandle = UniqueHandle<HANDLE, ::CloseHandle>;  // mutexes, events: null when none
using UniqueFile = UniqueHandle<HANDLE, ::CloseHandle, -1>;      // INVALID_HANDLE_VALUE when none
using UniqueFont = UniqueHandle<HFONT, ::DeleteObject>;
using UniqueBrush = UniqueHandle<HBRUSH, ::DeleteObject>;
using UniqueIcon = UniqueHandle<HICON, ::DestroyIcon>;

// A device context from GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and selects the old one back.
class SelectObjectGuard {
public:
    SelectObjectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;
    ~SelectObjectGuard() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace gridbloom::win
