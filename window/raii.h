// Owners for Win32 handles, device contexts, GDI objects and global memory.
// Every owner releases its resource in the scope that acquired it.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace tamrik {

template <typename T>
T NullHandle() {
    return nullptr;
}
inline HANDLE InvalidHandle() {
    return INVALID_HANDLE_VALUE;
}

// Move-only owner of one resource of type T, given back with Free; Empty is
// the value that holds nothing. Free is a plain function of the program's own
// (a system function's address may not be a constant where it is imported).
template <typename T, void (*Free)(T), T (*Empty)() = &NullHandle<T>>
class UniqueResource {
public:
    using Type = T;

    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    T Get() const { return value_; }
    explicit operator bool() const { return value_ != Empty(); }
    T Release() { return std::exchange(value_, Empty()); }
    void Reset(T value = Empty()) {
        T old = std::exchange(value_, value);
        if (old != Empty()) Free(old);
    }
    // For a function that hands out a new resource through a pointer:
    // `RegOpenKeyExW(..., key.Put())`. Gives back what is held first.
    T* Put() {
        Reset();
        return &value_;
    }

private:
    T value_ = Empty();
};

// The release functions of the owners below.
namespace release {
inline void CloseHandle(HANDLE h) {
    ::CloseHandle(h);
}
template <typename T>
void DeleteGdiObject(T h) {
    ::DeleteObject(h);
}
inline void DeleteDC(HDC h) {
    ::DeleteDC(h);
}
inline void DestroyIcon(HICON h) {
    ::DestroyIcon(h);
}
inline void DestroyMenu(HMENU h) {
    ::DestroyMenu(h);
}
inline void GlobalFree(HGLOBAL h) {
    ::GlobalFree(h);
}
inline void LocalFree(HLOCAL h) {
    ::LocalFree(h);
}
inline void FreeLibrary(HMODULE h) {
    ::FreeLibrary(h);
}
inline void RegCloseKey(HKEY h) {
    ::RegCloseKey(h);
}
}  // namespace release

using UniqueHandle = UniqueResource<HANDLE, &release::CloseHandle>;
using UniqueFileHandle = UniqueResource<HANDLE, &release::CloseHandle, &InvalidHandle>;
using UniqueBitmap = UniqueResource<HBITMAP, &release::DeleteGdiObject<HBITMAP>>;
using UniqueFont = UniqueResource<HFONT, &release::DeleteGdiObject<HFONT>>;
using UniqueBrush = UniqueResource<HBRUSH, &release::DeleteGdiObject<HBRUSH>>;
using UniquePen = UniqueResource<HPEN, &release::DeleteGdiObject<HPEN>>;
using UniqueDC = UniqueResource<HDC, &release::DeleteDC>;         // CreateDC / CreateCompatibleDC
using UniqueIcon = UniqueResource<HICON, &release::DestroyIcon>;  // icons from LoadImage / CreateIcon*
using UniqueMenu = UniqueResource<HMENU, &release::DestroyMenu>;  // menus not attached to a window
using UniqueGlobal = UniqueResource<HGLOBAL, &release::GlobalFree>;
using UniqueLocal = UniqueResource<HLOCAL, &release::LocalFree>;
using UniqueModule = UniqueResource<HMODULE, &release::FreeLibrary>;
using UniqueKey = UniqueResource<HKEY, &release::RegCloseKey>;

// COM on this thread (CoInitializeEx) for as long as the object lives.
class ComScope {
public:
    explicit ComScope(DWORD model) : result_(::CoInitializeEx(nullptr, model)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool Initialised() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDC() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint for a WM_PAINT handler.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
    ~PaintDC() { ::EndPaint(hwnd_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Info() const { return ps_; }

private:
    HWND hwnd_;
    HDC dc_ = nullptr;
    PAINTSTRUCT ps_{};
};

// Selects a GDI object into a DC and puts the previous one back at scope end.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(dc && obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~SelectObjectScope() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// GlobalLock / GlobalUnlock of a global memory block.
template <typename T = void>
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL block) : block_(block), ptr_(block ? ::GlobalLock(block) : nullptr) {}
    ~GlobalLockScope() {
        if (ptr_) ::GlobalUnlock(block_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    T* Get() const { return static_cast<T*>(ptr_); }
    explicit operator bool() const { return ptr_ != nullptr; }

private:
    HGLOBAL block_;
    void* ptr_;
};

// A movable global block holding a copy of the given bytes (empty on failure).
inline UniqueGlobal GlobalCopyOf(const void* data, SIZE_T size) {
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size ? size : 1));
    if (!block) return block;
    GlobalLockScope<void> lock(block.Get());
    if (!lock) return UniqueGlobal();
    if (data && size) ::CopyMemory(lock.Get(), data, size);
    return block;
}

}  // namespace tamrik
