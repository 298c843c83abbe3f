#pragma once
// Non-copyable owners of Win32 handles, DCs and GDI objects.
#include <windows.h>

#include <utility>

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : h_(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    Handle Get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::Invalid(); }
    Handle Release() noexcept { return std::exchange(h_, Traits::Invalid()); }
    void Reset(Handle h = Traits::Invalid()) noexcept
    {
        if (h_ != Traits::Invalid())
            Traits::Close(h_);
        h_ = h;
    }

private:
    Handle h_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { GlobalFree(h); }
};
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteDC(h); }
};
template <class T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
struct LibraryTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct HookTraits {
    using Handle = HHOOK;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { UnhookWindowsHookEx(h); }
};

using ScopedHandle = UniqueHandle<KernelHandleTraits>;
using ScopedRegKey = UniqueHandle<RegKeyTraits>;
using ScopedGlobalMemory = UniqueHandle<GlobalMemoryTraits>;
using ScopedMemoryDc = UniqueHandle<MemoryDcTraits>;
// Any GDI object: ScopedGdiObject<HBITMAP>, <HBRUSH>, <HFONT>, <HRGN>, ...
template <class T>
using ScopedGdiObject = UniqueHandle<GdiObjectTraits<T>>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedLibrary = UniqueHandle<LibraryTraits>;
using ScopedHook = UniqueHandle<HookTraits>;

// A window's DC for the life of the scope (GetDC / ReleaseDC).
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc()
    {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintDc() { EndPaint(hwnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Info() const { return ps_; }

private:
    HWND hwnd_;
    HDC dc_;
    PAINTSTRUCT ps_{};
};

// Selects an object into a DC and puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc)
    {
        HGDIOBJ old = object ? SelectObject(dc, object) : nullptr;
        old_ = (old == HGDI_ERROR) ? nullptr : old;
    }
    ~SelectedObject()
    {
        if (old_)
            SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    bool Ok() const { return old_ != nullptr; }

private:
    HDC dc_;
    HGDIOBJ old_;
};
