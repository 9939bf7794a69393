// Owners for Win32 handles, device contexts, GDI objects and global memory.
// Every owner releases its resource in the scope that acquired it.
#pragma once

#include <windows.h>

#include <utility>

namespace tamrik {

// Move-only owner of one resource; Traits gives the empty value and the release.
template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : value_(value) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Type Get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Empty(); }
    Type Release() { return std::exchange(value_, Traits::Empty()); }
    void Reset(Type value = Traits::Empty()) {
        Type old = std::exchange(value_, value);
        if (old != Traits::Empty()) Traits::Free(old);
    }

private:
    Type value_ = Traits::Empty();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static HANDLE Empty() { return nullptr; }
    static void Free(HANDLE h) { ::CloseHandle(h); }
};
struct FileHandleTraits {
    using Type = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { ::CloseHandle(h); }
};
template <typename T>
struct GdiObjectTraits {
    using Type = T;
    static T Empty() { return nullptr; }
    static void Free(T h) { ::DeleteObject(h); }
};
struct CreatedDcTraits {
    using Type = HDC;
    static HDC Empty() { return nullptr; }
    static void Free(HDC h) { ::DeleteDC(h); }
};
struct IconTraits {
    using Type = HICON;
    static HICON Empty() { return nullptr; }
    static void Free(HICON h) { ::DestroyIcon(h); }
};
struct MenuTraits {
    using Type = HMENU;
    static HMENU Empty() { return nullptr; }
    static void Free(HMENU h) { ::DestroyMenu(h); }
};
struct GlobalTraits {
    using Type = HGLOBAL;
    static HGLOBAL Empty() { return nullptr; }
    static void Free(HGLOBAL h) { ::GlobalFree(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static HMODULE Empty() { return nullptr; }
    static void Free(HMODULE h) { ::FreeLibrary(h); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFileHandle = UniqueResource<FileHandleTraits>;
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueResource<GdiObjectTraits<HPEN>>;
using UniqueDC = UniqueResource<CreatedDcTraits>;  // CreateDC / CreateCompatibleDC
using UniqueIcon = UniqueResource<IconTraits>;     // icons from LoadImage / CreateIcon*
using UniqueMenu = UniqueResource<MenuTraits>;     // menus not attached to a window
using UniqueGlobal = UniqueResource<GlobalTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;

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
