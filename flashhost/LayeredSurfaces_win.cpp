#include "flashhost/LayeredSurfaces_win.h"

#include <ocidl.h>

#include <cstring>

#include "flashhost/AlphaRecovery.h"

LayeredSurfaces::Surface::Surface(HDC screen, const BITMAPINFO& info)
    : dc_(CreateCompatibleDC(screen)),
      bitmap_(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits_, nullptr, 0)),
      selection_(dc_.Get(), dc_ && bitmap_ ? bitmap_.Get() : nullptr)
{
}

void LayeredSurfaces::Free()
{
    black_.reset();
    white_.reset();
}

bool LayeredSurfaces::Fit(HWND hwnd, const RECT& r)
{
    if (black_ && EqualRect(&r, &window_))
        return true;
    Free();
    window_ = r;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = r.right - r.left;
    bmi.bmiHeader.biHeight = -(r.bottom - r.top);
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    {
        WindowDc screen(hwnd);
        black_.emplace(screen.Get(), bmi);
        white_.emplace(screen.Get(), bmi);
    }
    if (!black_->Complete() || !white_->Complete()) {
        // Skip this frame; the next one tries again from nothing.
        Free();
        window_ = RECT{};
        return false;
    }
    return true;
}

void LayeredSurfaces::DrawFrame(HWND hwnd, IViewObject* view)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    if (!Fit(hwnd, r))
        return;
    const LONG w = r.right - r.left;
    const LONG h = r.bottom - r.top;
    POINT destination{r.left, r.top};
    SIZE size{w, h};
    POINT source{0, 0};
    if (view) {
        RECT client{};
        GetClientRect(hwnd, &client);
        const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;
        memset(black_->Bits(), 0x00, bytes);
        memset(white_->Bits(), 0xFF, bytes);
        GdiFlush();
        OleDraw(view, DVASPECT_TRANSPARENT, black_->Dc(), &client);
        OleDraw(view, DVASPECT_TRANSPARENT, white_->Dc(), &client);
        GdiFlush();
        RecoverAlpha(black_->Bits(), white_->Bits(), static_cast<uint32_t>(w), static_cast<uint32_t>(h));
    }
    // Looked up on every frame, on purpose: the call is resolved by name at
    // run time so the program starts on systems without it.
    ScopedLibrary user32(LoadLibraryA("User32.DLL"));
    if (!user32)
        return;
    using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
    auto update = reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(user32.Get(), "UpdateLayeredWindow")));
    if (update) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        update(hwnd, nullptr, &destination, &size, black_->Dc(), &source, 0, &blend, ULW_ALPHA);
    }
}
