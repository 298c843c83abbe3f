#pragma once
// The layered window's frame: two 32-bit top-down surfaces the size of the
// window, one over black and one over white, kept while the window rectangle
// stays the same, and the composition of one frame of a view object into them
// and onto the screen with per-pixel alpha.
#include <windows.h>
#include <ole2.h>

#include <optional>

#include "platform/Handles_win.h"

class LayeredSurfaces {
public:
    LayeredSurfaces() = default;
    LayeredSurfaces(const LayeredSurfaces&) = delete;
    LayeredSurfaces& operator=(const LayeredSurfaces&) = delete;

    // One frame of hwnd: the surfaces fitted to its window rectangle, view
    // rendered into both and its alpha recovered (no view: the surfaces are
    // shown as they are), then the black one shown with its alpha. When a
    // surface cannot be made the frame is skipped and nothing is held.
    void DrawFrame(HWND hwnd, IViewObject* view);

    // What is held now; null (and an empty rectangle) when nothing is.
    HDC BlackDc() const { return black_ ? black_->Dc() : nullptr; }
    HBITMAP BlackBitmap() const { return black_ ? black_->Bitmap() : nullptr; }
    BYTE* BlackBits() const { return black_ ? black_->Bits() : nullptr; }
    HDC WhiteDc() const { return white_ ? white_->Dc() : nullptr; }
    HBITMAP WhiteBitmap() const { return white_ ? white_->Bitmap() : nullptr; }
    BYTE* WhiteBits() const { return white_ ? white_->Bits() : nullptr; }
    // The window rectangle the surfaces were made for.
    const RECT& WindowRect() const { return window_; }

private:
    // A DIB section selected into a memory DC of its own.
    class Surface {
    public:
        Surface(HDC screen, const BITMAPINFO& info);
        Surface(const Surface&) = delete;
        Surface& operator=(const Surface&) = delete;
        bool Complete() const { return dc_ && bitmap_ && bits_; }
        HDC Dc() const { return dc_.Get(); }
        HBITMAP Bitmap() const { return bitmap_.Get(); }
        BYTE* Bits() const { return static_cast<BYTE*>(bits_); }

    private:
        // Declared in the order they are made; the bitmap is put out of the
        // DC before either is deleted.
        ScopedMemoryDc dc_;
        void* bits_ = nullptr;
        ScopedBitmap bitmap_;
        SelectedObject selection_;
    };

    bool Fit(HWND hwnd, const RECT& windowRect);
    void Free();

    std::optional<Surface> black_;
    std::optional<Surface> white_;
    RECT window_{};
};
